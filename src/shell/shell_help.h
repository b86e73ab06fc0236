// The help command: the help file from the program directory in a help window at the topic
// of the help context, one window at a time.
#pragma once

#include <string>

namespace vm::tui {
class Application;
class HelpWindow;
}  // namespace vm::tui

namespace vm::shell {

class ShellHelp {
 public:
  ShellHelp(tui::Application& app, std::string programDir)
      : app_(app), programDir_(std::move(programDir)) {}

  // Opens the window (and returns when it is closed); while one is open, shows the topic in it.
  void Show(int context);

 private:
  tui::Application& app_;
  std::string programDir_;
  tui::HelpWindow* open_ = nullptr;
};

}  // namespace vm::shell
