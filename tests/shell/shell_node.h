// The whole shell on the fake backend in a temporary directory that is both the current
// directory and the program directory.
#pragma once

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
  ShellNode() : startDir(CurrentDirectory()) {
    ChangeDirectory(ProgramPathFromHost(dir.path()));
    paths.ProgramDir = ProgramPathFromHost(dir.path()) + "/";
    settings.address = NetAddress{2, 5020, 9999, 0};
  }
  ~ShellNode() { ChangeDirectory(startDir); }

  void PushQuit() {
    backend.PushKey(tui::key::kEsc);
    backend.PushKey(tui::key::kEnter);
  }
  void RunShell() {
    const ShellContext context{settings, areas, state, paths, console, log};
    RunShellWindow(backend, context, 0);
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
  std::string startDir;
  Settings settings;
  AreaTable areas;
  RunState state;
  ProgramPaths paths;
  FakeConsole console;
  RunLog log;
  tui::FakeBackend backend;
};

}  // namespace vm::shell::test
