#include "support/fake_console.h"

namespace vm {

FakeConsole::FakeConsole(std::string keys) : keys_(std::move(keys)) {}

void FakeConsole::Write(std::string_view text) { output += text; }

void FakeConsole::WriteProgress(std::string_view text) {
  output += '\r';
  output += text;
}

int FakeConsole::WaitKey() {
  if (next_ >= keys_.size()) return 27;
  return static_cast<unsigned char>(keys_[next_++]);
}

int FakeConsole::PollKey() {
  if (!interactive_ || next_ >= keys_.size()) return -1;
  return static_cast<unsigned char>(keys_[next_++]);
}

}  // namespace vm
