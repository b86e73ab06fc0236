#include "shell/shell_help.h"

#include <algorithm>

#include "text/cp866.h"
#include "tui/application.h"
#include "tui/help_file.h"
#include "tui/help_window.h"
#include "tui/message_box.h"

namespace vm::shell {

std::vector<std::string> HelpFileCandidates(const ProgramPaths& paths) {
  std::vector<std::string> files;
  for (const std::string* dir : {&paths.ProgramDir, &paths.ExecutableDir, &paths.ShareDir}) {
    if (dir->empty()) continue;
    std::string file = *dir + "veldmark.hlp";
    if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
  }
  return files;
}

void ShellHelp::Show(int context) {
  if (open_ != nullptr) {
    open_->ShowTopic(tui::HelpTopicFor(context));
    return;
  }
  tui::HelpFile help;
  auto loaded = [&help](const std::string& file) { return tui::LoadHelpFile(file, help); };
  if (std::none_of(helpFiles_.begin(), helpFiles_.end(), loaded)) {
    tui::ShowError(app_, Cp866("Не могу открыть файл справки."));
    return;
  }
  tui::HelpWindow window(help, tui::HelpTopicFor(context));
  open_ = &window;
  app_.Execute(window);
  open_ = nullptr;
}

}  // namespace vm::shell
