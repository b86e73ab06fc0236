// A console for tests: keys come from a script, everything written is kept as CP866 text.
#pragma once

#include <string>
#include <string_view>

#include "platform/console.h"

namespace vm {

class FakeConsole : public Console {
 public:
  // keys: the CP866 bytes that WaitKey hands out one by one; when they run out, WaitKey
  // answers 27 (Esc) like a console whose input has ended.
  explicit FakeConsole(std::string keys = "");

  std::string output;  // everything written (Write, WriteLine, WriteProgress), CP866
  std::string title;   // the last title set
  int beeps = 0;

  void AddKeys(std::string_view keys) { keys_ += keys; }
  size_t KeysLeft() const { return keys_.size() - next_; }
  void SetInteractive(bool interactive) { interactive_ = interactive; }

  void Write(std::string_view text) override;
  // Kept in output as "\r" + text, as a terminal would receive it.
  void WriteProgress(std::string_view text) override;
  int WaitKey() override;
  // Like the process console: without a terminal nothing is polled (-1); when interactive,
  // the next scripted key is taken (or -1 when there is none).
  int PollKey() override;
  bool IsInteractive() const override { return interactive_; }
  void SetTitle(std::string_view text) override { title = text; }
  void Beep() override { ++beeps; }

 private:
  std::string keys_;
  size_t next_ = 0;
  bool interactive_ = false;
};

}  // namespace vm
