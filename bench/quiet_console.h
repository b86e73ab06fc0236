// A console for benchmarks: output is dropped and every key wait answers Esc at once.
#pragma once

#include "platform/console.h"

class QuietConsole : public vm::Console {
 public:
  void Write(std::string_view) override {}
  void WriteProgress(std::string_view) override {}
  int WaitKey() override { return 27; }
  int PollKey() override { return -1; }
  bool IsInteractive() const override { return false; }
  void SetTitle(std::string_view) override {}
  void Beep() override {}
};
