#include "shell/shell_dialogs.h"

#include "tui/application.h"
#include "tui/message_box.h"

namespace vm::shell {

bool ShellDialogs::AskYesNo(std::string_view question) { return tui::AskYes(app_, question); }

void ShellDialogs::ShowError(std::string_view message) { tui::ShowError(app_, message); }

void ShellDialogs::BeginProgress(std::string_view title, int32_t steps) {
  if (depth_++ == 0) progress_ = std::make_unique<tui::ProgressWindow>(app_, title, steps);
}

void ShellDialogs::StepProgress() {
  if (progress_ && depth_ == 1) progress_->Step();
}

void ShellDialogs::EndProgress() {
  if (depth_ > 0 && --depth_ == 0) progress_.reset();
}

bool ShellDialogs::AbortKeyPressed() { return progress_ && progress_->AbortRequested(); }

}  // namespace vm::shell
