// The whole shell on the fake backend in a temporary directory that is the process's working
// directory (the start directory, as for the program), the program directory and where the
// directory panel starts.
#pragma once

#include <filesystem>

#include "config/area_table.h"
#include "config/settings.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/run_log.h"
#include "shell/shell.h"
#include "state/run_state.h"
#include "support/fake_console.h"
#include "support/platform_temp_dir.h"
#include "text/cp866.h"
#include "tui/fake_backend.h"
#include "tui/keys.h"

namespace vm::shell::test {

struct ShellNode {
  ShellNode() : savedWorkingDirectory(std::filesystem::current_path()) {
    std::filesystem::current_path(dir.path());
    paths.StartDir = ProgramPathFromHost(dir.path());
    paths.ProgramDir = paths.StartDir + "/";
    panelDirectory = paths.StartDir;
    settings.address = NetAddress{2, 5020, 9999, 0};
  }
  ~ShellNode() { std::filesystem::current_path(savedWorkingDirectory); }

  void PushQuit() {
    backend.PushKey(tui::key::kEsc);
    backend.PushKey(tui::key::kEnter);
  }
  void RunShell() {
    const ShellContext context{settings, areas, state, paths, console, log};
    RunShellWindow(backend, context, panelDirectory, 0);
  }
  // The text of a screen row between the columns, shown as UTF-8.
  static std::string Shown(const tui::CellBuffer& screen, int y, int x = 0, int width = -1) {
    return Cp866ToUtf8(screen.RowText(y, x, width));
  }
  static bool ShowsText(const tui::CellBuffer& screen, const char* utf8) {
    for (int y = 0; y < screen.Height(); ++y)
      if (Shown(screen, y).find(utf8) != std::string::npos) return true;
    return false;
  }

  ScopedTempDir dir;
  std::filesystem::path savedWorkingDirectory;
  std::string panelDirectory;  // where the panel starts, and was when the shell ended
  Settings settings;
  AreaTable areas;
  RunState state;
  ProgramPaths paths;
  FakeConsole console;
  RunLog log;
  tui::FakeBackend backend;
};

}  // namespace vm::shell::test
