#include "app/shell_mode.h"

#include "app/posting_modes.h"
#include "platform/fatal.h"
#include "platform/file_system.h"
#include "shell/shell.h"
#include "text/cp866.h"
#include "tui/curses_backend.h"

namespace vm {
namespace {

[[noreturn]] void NoTerminal() {
  FatalExit(
      Cp866("Для интерактивной оболочки нужен терминал. Без него Veldmark работает "
            "только с командами (VELDMARK ? - список команд)"));
}

}  // namespace

void RunShell(RunContext& run, const ShellStart& start) {
  if (!tui::CursesBackend::TerminalAttached()) NoTerminal();
  // The queue runs before the screen is taken, so that its console lines stay readable.
  if (start.command != "QUEUE") ProcessSendQueue(run);
  ChangeDirectory(run.paths.StartDir);
  if (start.command != "NOCHANGE" && !run.state.defaults.panelDirectory.empty())
    ChangeDirectory(run.state.defaults.panelDirectory);

  auto backend = tui::CursesBackend::Open();
  if (!backend) NoTerminal();
  backend->SetTitle(Cp866("Veldmark - ") + UpCaseCp866(run.paths.StartDir));
  const shell::ShellContext context{run.settings, run.areas,   run.state,
                                    run.paths,    run.console, run.log};
  shell::RunShellWindow(*backend, context, start.command == "OPEN" ? start.openArea : 0,
                        start.command == "QUEUE");
  backend.reset();
  // The next interactive run starts where this one ended.
  run.state.defaults.panelDirectory = CurrentDirectory();
}

}  // namespace vm
