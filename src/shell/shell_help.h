// The help command: the help file in a help window at the topic of the help context, one
// window at a time.
#pragma once

#include <string>
#include <vector>

#include "config/settings.h"

namespace vm::tui {
class Application;
class HelpWindow;
}  // namespace vm::tui

namespace vm::shell {

// Where veldmark.hlp is looked for, in order: the program directory (a copy the sysop edited),
// beside the executable, and an installed copy's shared files.
std::vector<std::string> HelpFileCandidates(const ProgramPaths& paths);

class ShellHelp {
 public:
  ShellHelp(tui::Application& app, std::vector<std::string> helpFiles)
      : app_(app), helpFiles_(std::move(helpFiles)) {}

  // Opens the window (and returns when it is closed); while one is open, shows the topic in it.
  void Show(int context);

 private:
  tui::Application& app_;
  std::vector<std::string> helpFiles_;
  tui::HelpWindow* open_ = nullptr;
};

}  // namespace vm::shell
