// The palette file: the 255 attribute bytes of the palette, nothing else.
#pragma once

#include <string_view>

namespace vm::tui {
class Palette;
}

namespace vm::shell {

// The palette file the shell loads at start-up, in the program directory.
inline constexpr std::string_view kPaletteFileName = "VELDMARK.PAL";

// Replaces the palette with the file's bytes when the file can be read and holds exactly 255
// bytes; false (and the palette unchanged) otherwise.
bool LoadPaletteFile(std::string_view path, tui::Palette& palette);
bool SavePaletteFile(std::string_view path, const tui::Palette& palette);

}  // namespace vm::shell
