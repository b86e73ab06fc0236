// The advanced dialog of a posting ("Кодирование - Дополнительно"): the posted name, the
// sections to send, the message attributes, the lines per section, the template and the send
// mode with its own daily limit.
#pragma once

#include "shell/encode_choices.h"
#include "shell/encode_dialog.h"
#include "shell/prompts.h"

namespace vm::tui {
class Application;
}

namespace vm::shell {

// Whether every number of the list (blanks between them) is a section of a file of `total`
// sections.
bool ValidSectionsList(std::string_view list, int32_t total);

// On OK the choices take the dialog's fields; false when it was cancelled.
bool RunAdvancedDialog(tui::Application& app, const EncodeSetup& setup, EncodeChoices& choices,
                       Prompts& prompts);

}  // namespace vm::shell
