// The help command: the help file from the program directory in a help window at the topic
// of the help context, one window at a time.
#pragma once

#include <string>

namespace vm::tui {
class Application;
}

namespace vm::shell {

class ShellHelp {
 public:
  ShellHelp(tui::Application& app, std::string programDir)
      : app_(app), programDir_(std::move(programDir)) {}

  // Opens the window (and returns when it is closed); does nothing while one is open.
  void Show(int context);

 private:
  tui::Application& app_;
  std::string programDir_;
  bool open_ = false;
};

}  // namespace vm::shell
