#include "app/shell_mode.h"

#include "app/posting_modes.h"
#include "decode/file_destination.h"
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

// Where the directory panel starts: where the last run's panel was (or /Dir's directory, from
// the start directory when relative), unless /NoChange keeps the start directory or that
// directory cannot be entered.
std::string PanelStart(const RunContext& run, const ShellStart& start) {
  const std::string& last = run.state.defaults.panelDirectory;
  if (start.command != "NOCHANGE" && !last.empty())
    if (auto directory = DirectoryToEnter(AbsoluteFrom(last, run.paths.StartDir)))
      return *directory;
  return run.paths.StartDir;
}

}  // namespace

void RunShell(RunContext& run, const ShellStart& start) {
  if (!tui::CursesBackend::TerminalAttached()) NoTerminal();
  // The queue runs before the screen is taken, so that its console lines stay readable.
  if (start.command != "QUEUE") ProcessSendQueue(run);
  std::string panelDirectory = PanelStart(run, start);

  auto backend = tui::CursesBackend::Open();
  if (!backend) NoTerminal();
  backend->SetTitle(Cp866("Veldmark - ") + UpCaseCp866(run.paths.StartDir));
  const shell::ShellContext context{run.settings, run.areas,   run.state,
                                    run.paths,    run.console, run.log};
  shell::RunShellWindow(*backend, context, panelDirectory,
                        start.command == "OPEN" ? start.openArea : 0, start.command == "QUEUE");
  backend.reset();
  // The next interactive run starts where this one ended.
  run.state.defaults.panelDirectory = panelDirectory;
}

}  // namespace vm
