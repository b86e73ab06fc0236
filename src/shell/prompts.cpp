#include "shell/prompts.h"

#include "tui/event.h"
#include "tui/message_box.h"

namespace vm::shell {

bool BoxPrompts::AskYes(std::string_view question) { return tui::AskYes(app_, question); }

bool BoxPrompts::AskOk(std::string_view warning) {
  return tui::MessageBox(app_, warning, tui::MessageKind::Confirmation,
                         tui::MessageButtons::OkCancel) == tui::cmd::kOk;
}

void BoxPrompts::Error(std::string_view message) { tui::ShowError(app_, message); }

void BoxPrompts::Notice(std::string_view message) { tui::ShowInformation(app_, message); }

}  // namespace vm::shell
