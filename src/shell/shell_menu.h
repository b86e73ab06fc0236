// The menu bar and the status line of the main window, the hints of the help contexts, and
// the hot keys of the user utilities.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vm {
struct ExternalUtility;
}

namespace vm::tui {
class MenuBar;
class StatusLine;
}  // namespace vm::tui

namespace vm::shell {

void SetUpMenuBar(tui::MenuBar& menu, const std::vector<ExternalUtility>& utilities);
void SetUpStatusLine(tui::StatusLine& status, const std::vector<ExternalUtility>& utilities);

// The status line's hint for a help context (CP866; empty for a context without one).
std::string ContextHint(int context, const std::vector<ExternalUtility>& utilities);

// The toolkit key of a utility's key code (a PC scan code in the high byte: F1 to F10 plain,
// with Shift, Ctrl or Alt); 0 for none.
int UtilityKey(uint32_t keyCode);

}  // namespace vm::shell
