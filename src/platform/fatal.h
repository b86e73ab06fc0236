// The orderly error stop. FatalExit throws; the program's main catches the FatalStop, logs
// "Выход по ошибке: ...", returns to the start directory, prints the message (and the hint
// after it, such as a command's usage), waits for a key and exits with code 3. Tests assert on
// the exception.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace vm {

class FatalStop : public std::runtime_error {
 public:
  explicit FatalStop(std::string message, std::string hint = {})
      : std::runtime_error(message), message_(std::move(message)), hint_(std::move(hint)) {}
  const std::string& Message() const { return message_; }  // CP866
  // Lines shown after the message and not logged, each ending in "\n"; CP866.
  const std::string& Hint() const { return hint_; }

 private:
  std::string message_;
  std::string hint_;
};

[[noreturn]] inline void FatalExit(std::string message) { throw FatalStop(std::move(message)); }
[[noreturn]] inline void FatalExit(std::string message, std::string hint) {
  throw FatalStop(std::move(message), std::move(hint));
}

}  // namespace vm
