#include "shell/palette_file.h"

#include <string>

#include "platform/file.h"
#include "tui/palette.h"

namespace vm::shell {

bool LoadPaletteFile(std::string_view path, tui::Palette& palette) {
  std::string bytes;
  int error = 0;
  // One byte more than a palette: a longer file fails the read instead of being cut.
  if (!ReadWholeFile(path, tui::Palette::kSize + 1, bytes, error)) return false;
  return palette.Load(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

bool SavePaletteFile(std::string_view path, const tui::Palette& palette) {
  const auto bytes = palette.Bytes();
  return WriteFileAtomically(path, std::string(bytes.begin(), bytes.end()));
}

}  // namespace vm::shell
