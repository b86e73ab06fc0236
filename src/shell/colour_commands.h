// The Options menu's commands: the colour dialog, the standard colours, and saving and
// loading the palette through the file dialog in the program directory.
#pragma once

#include <string>
#include <vector>

#include "tui/colour_dialog.h"

namespace vm::tui {
class Application;
}

namespace vm::shell {

// The colour dialog's groups: the file panels, the menus and status line, the dialogs (the
// entries of the dialog and error colour roles), the editor and help windows (the window
// roles' own entries). Every entry the screens draw with is listed once.
std::vector<tui::ColourGroup> ShellColourGroups();

void ChangeColours(tui::Application& app);
void StandardColours(tui::Application& app);
void SavePalette(tui::Application& app, const std::string& programDir);
void LoadPalette(tui::Application& app, const std::string& programDir);

}  // namespace vm::shell
