// The interactive shell: the main window in the toolkit's application, run until the user
// quits or an end signal arrives.
#pragma once

#include "shell/shell_context.h"

namespace vm::tui {
class Backend;
}

namespace vm::shell {

// openArea: the area /Open names (scanned at once), 0 for none; openQueue: /Queue opens the
// send-queue window at once.
void RunShellWindow(tui::Backend& backend, const ShellContext& context, int openArea,
                    bool openQueue = false);

}  // namespace vm::shell
