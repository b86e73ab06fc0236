// The attribute palette: 255 bytes, one text attribute per palette index (1 to 255). Views
// name palette indexes; only the backend knows real colours.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace vm::tui {

// The toolkit's own palette indexes. The shell's file panels use 96 to 105.
namespace pal {
inline constexpr int kDesktop = 1;
inline constexpr int kMenuNormal = 2;
inline constexpr int kMenuHot = 3;
inline constexpr int kMenuSelected = 4;
inline constexpr int kMenuSelectedHot = 5;
inline constexpr int kMenuDisabled = 6;
inline constexpr int kStatusNormal = 7;
inline constexpr int kStatusHot = 8;
inline constexpr int kStatusDisabled = 9;
inline constexpr int kDialogFrame = 32;
inline constexpr int kDialogTitle = 33;
inline constexpr int kDialogText = 34;
inline constexpr int kLabelHot = 35;
inline constexpr int kButtonNormal = 36;
inline constexpr int kButtonFocused = 37;
inline constexpr int kButtonHot = 38;
inline constexpr int kButtonShadow = 39;
inline constexpr int kInputNormal = 40;
inline constexpr int kInputSelected = 41;
inline constexpr int kInputArrow = 42;
inline constexpr int kProgressBar = 43;
inline constexpr int kErrorFrame = 44;
inline constexpr int kErrorText = 45;
inline constexpr int kWindowFrame = 64;
inline constexpr int kWindowText = 65;
inline constexpr int kHelpLink = 66;
inline constexpr int kHelpLinkSelected = 67;
}  // namespace pal

class Palette {
 public:
  static constexpr int kSize = 255;

  Palette();  // the built-in palette

  uint8_t operator[](int index) const {
    return index >= 1 && index <= kSize ? bytes_[static_cast<size_t>(index - 1)] : 0x07;
  }
  void Set(int index, uint8_t attr) {
    if (index >= 1 && index <= kSize) bytes_[static_cast<size_t>(index - 1)] = attr;
  }
  // The 255 bytes as a palette file holds them; Load takes exactly 255.
  std::span<const uint8_t> Bytes() const { return bytes_; }
  bool Load(std::span<const uint8_t> bytes);

 private:
  std::array<uint8_t, kSize> bytes_{};
};

}  // namespace vm::tui
