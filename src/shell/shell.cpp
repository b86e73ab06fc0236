#include "shell/shell.h"

#include <csignal>

#include "config/settings.h"
#include "shell/commands.h"
#include "shell/main_window.h"
#include "shell/palette_file.h"
#include "shell/shell_help.h"
#include "shell/shell_menu.h"
#include "state/run_state.h"
#include "text/cp866.h"
#include "tui/application.h"
#include "tui/message_box.h"

namespace vm::shell {

void RunShellWindow(tui::Backend& backend, const ShellContext& context, std::string& panelDirectory,
                    int openArea, bool openQueue) {
  tui::Palette palette;
  LoadPaletteFile(context.paths.ProgramDir + std::string(kPaletteFileName), palette);
  tui::Application app(backend, palette);
  SetUpMenuBar(app.Menu(), context.settings.externalUtilities);
  SetUpStatusLine(app.Status(), context.settings.externalUtilities);
  ShellHelp help(app, HelpFileCandidates(context.paths));
  app.SetHelp(cmd::kHelp, [&help](int helpContext) { help.Show(helpContext); });
  // The dialogs' name and address histories live in the state files.
  app.Histories().Bind(1, &context.state.nameHistory);
  app.Histories().Bind(2, &context.state.addressHistory);
  MainWindow window(app, context, panelDirectory);
  app.SetMainView(&window);
  app.SetAfterEvent([&window] { window.Refresh(); });
  app.SetBreakHandler([&app] {
    if (tui::AskYes(app, Cp866("Вы уверены что хотите выйти?"))) app.Quit();
  });
  // Ctrl+Z stops the program as in any terminal program; "fg" brings the screen back, with
  // the directory read again for what was done meanwhile.
  app.SetStopHandler([&app] {
    std::raise(SIGTSTP);
    app.PutEvent(tui::Event::Command(cmd::kRefresh));
  });
  window.Refresh();
  window.ReadDirectory();
  window.QueueStart(openArea);
  if (openQueue) app.PutEvent(tui::Event::Command(cmd::kQueue));
  app.Run();
  panelDirectory = window.Directory().Directory();
  // The colours as the user left them are the next run's.
  SavePaletteFile(context.paths.ProgramDir + std::string(kPaletteFileName), app.Colours());
}

}  // namespace vm::shell
