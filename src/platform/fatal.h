// The orderly error stop. FatalExit throws; the program's main catches the FatalStop, logs
// "Выход по ошибке: ...", returns to the start directory, prints the message, waits for a key
// and exits with code 3. Tests assert on the exception.
#pragma once

#include <stdexcept>
#include <string>

namespace vm {

class FatalStop : public std::runtime_error {
 public:
  explicit FatalStop(std::string message)
      : std::runtime_error(message), message_(std::move(message)) {}
  const std::string& Message() const { return message_; }  // CP866

 private:
  std::string message_;
};

[[noreturn]] inline void FatalExit(std::string message) { throw FatalStop(std::move(message)); }

}  // namespace vm
