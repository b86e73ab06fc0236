// Change drive: the drives are the letters whose $VELDMARK_DRIVE_X names an existing
// directory (C: standing for the root when none is set), and the root "/" itself.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vm::tui {
class Application;
}

namespace vm::shell {

// The drives to offer, as program paths of their roots ("C:\", "/").
std::vector<std::string> AvailableDrives();

// The dialog "Смена диска" with one button per drive, the focus on the current one; the
// root chosen, or nothing.
std::optional<std::string> ChooseDrive(tui::Application& app,
                                       const std::vector<std::string>& drives,
                                       const std::string& current);

}  // namespace vm::shell
