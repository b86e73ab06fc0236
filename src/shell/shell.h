// The interactive shell: the main window in the toolkit's application, run until the user
// quits or an end signal arrives.
#pragma once

#include <string>

#include "shell/shell_context.h"

namespace vm::tui {
class Backend;
}

namespace vm::shell {

// panelDirectory: where the directory panel starts (an absolute program path); when the shell
// ends, where the panel was then. openArea: the area /Open names (scanned at once), 0 for none;
// openQueue: /Queue opens the send-queue window at once.
void RunShellWindow(tui::Backend& backend, const ShellContext& context, std::string& panelDirectory,
                    int openArea, bool openQueue = false);

}  // namespace vm::shell
