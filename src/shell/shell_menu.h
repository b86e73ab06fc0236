// The menu bar and the status line of the main window.
#pragma once

namespace vm::tui {
class MenuBar;
class StatusLine;
}  // namespace vm::tui

namespace vm::shell {

void SetUpMenuBar(tui::MenuBar& menu);
void SetUpStatusLine(tui::StatusLine& status);

}  // namespace vm::shell
