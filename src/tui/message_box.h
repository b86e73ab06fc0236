// Message boxes: a text with Yes/No, OK/Cancel or OK, the button texts in Russian.
#pragma once

#include <string_view>

namespace vm::tui {

class Application;

enum class MessageKind { Information, Confirmation, Error };
enum class MessageButtons { Ok, OkCancel, YesNo };

// Shows the box modally; returns the command of the button (cmd::kOk, kCancel, kYes, kNo;
// Esc answers Cancel or No).
int MessageBox(Application& app, std::string_view cp866Text, MessageKind kind,
               MessageButtons buttons);

// A Yes/No confirmation; true for Yes.
bool AskYes(Application& app, std::string_view cp866Text);
// An error box with OK.
void ShowError(Application& app, std::string_view cp866Text);
// An information box with OK.
void ShowInformation(Application& app, std::string_view cp866Text);

}  // namespace vm::tui
