#include "shell/shell_help.h"

#include "text/cp866.h"
#include "tui/application.h"
#include "tui/help_file.h"
#include "tui/help_window.h"
#include "tui/message_box.h"

namespace vm::shell {

void ShellHelp::Show(int context) {
  if (open_ != nullptr) {
    open_->ShowTopic(tui::HelpTopicFor(context));
    return;
  }
  tui::HelpFile help;
  if (!tui::LoadHelpFile(programDir_ + "veldmark.hlp", help)) {
    tui::ShowError(app_, Cp866("Не могу открыть файл справки."));
    return;
  }
  tui::HelpWindow window(help, tui::HelpTopicFor(context));
  open_ = &window;
  app_.Execute(window);
  open_ = nullptr;
}

}  // namespace vm::shell
