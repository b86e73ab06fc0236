#include "shell/shell_queue_dialogs.h"

#include "text/cp866.h"
#include "tui/application.h"
#include "tui/editor_window.h"
#include "tui/message_box.h"

namespace vm::shell {

std::string AskUserText(tui::Application& app) {
  tui::EditorWindow window(Cp866("Пользовательский текст"), kUserTextLimit);
  app.Execute(window);
  return window.Editor().Text();
}

void ShellQueueDialogs::BeginProgress(int64_t sections) {
  progress_ = std::make_unique<tui::ProgressWindow>(app_, Cp866("Кодирую файлы"), sections);
}

void ShellQueueDialogs::StepProgress() {
  if (progress_) progress_->Step();
}

bool ShellQueueDialogs::AskYesNo(std::string_view question) { return tui::AskYes(app_, question); }

void ShellQueueDialogs::ShowError(std::string_view message) { tui::ShowError(app_, message); }

}  // namespace vm::shell
