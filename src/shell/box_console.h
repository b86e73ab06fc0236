// A console for the routines that report through one while the shell owns the screen: every
// line written is shown in an error box instead of being printed over the windows.
#pragma once

#include <string>

#include "platform/console.h"

namespace vm::tui {
class Application;
}

namespace vm::shell {

class BoxConsole : public Console {
 public:
  explicit BoxConsole(tui::Application& app) : app_(app) {}

  void Write(std::string_view text) override;
  void WriteProgress(std::string_view text) override {}
  int WaitKey() override { return 27; }
  int PollKey() override { return -1; }
  bool IsInteractive() const override { return false; }
  void SetTitle(std::string_view title) override {}
  void Beep() override {}

 private:
  tui::Application& app_;
  std::string line_;
};

}  // namespace vm::shell
