#include "tui/palette.h"

#include <algorithm>
#include <utility>

namespace vm::tui {
namespace {

// Blue panels, grey menus and dialogs, cyan cursors: the colours of a DOS-era shell.
constexpr std::pair<int, uint8_t> kBuiltIn[] = {
    {pal::kDesktop, 0x17},
    {pal::kMenuNormal, 0x70},
    {pal::kMenuHot, 0x74},
    {pal::kMenuSelected, 0x20},
    {pal::kMenuSelectedHot, 0x2E},
    {pal::kMenuDisabled, 0x78},
    {pal::kStatusNormal, 0x70},
    {pal::kStatusHot, 0x74},
    {pal::kStatusDisabled, 0x78},
    {pal::kDialogFrame, 0x7F},
    {pal::kDialogTitle, 0x7F},
    {pal::kDialogText, 0x70},
    {pal::kLabelHot, 0x7E},
    {pal::kButtonNormal, 0x20},
    {pal::kButtonFocused, 0x2F},
    {pal::kButtonHot, 0x2E},
    {pal::kButtonShadow, 0x70},
    {pal::kInputNormal, 0x1F},
    {pal::kInputSelected, 0x2F},
    {pal::kInputArrow, 0x1A},
    {pal::kProgressBar, 0x71},
    {pal::kErrorFrame, 0x4F},
    {pal::kErrorText, 0x4F},
    {pal::kWindowFrame, 0x1F},
    {pal::kWindowText, 0x1E},
    {pal::kHelpLink, 0x1B},
    {pal::kHelpLinkSelected, 0x3F},
    // The file panels.
    {96, 0x1F},
    {97, 0x1B},
    {98, 0x30},
    {99, 0x17},
    {100, 0x1E},
    {101, 0x3E},
    {102, 0x1E},
    {103, 0x38},
    {104, 0x1F},
    {105, 0x3F},
};

}  // namespace

Palette::Palette() {
  bytes_.fill(0x07);
  for (const auto& [index, attr] : kBuiltIn) Set(index, attr);
}

bool Palette::Load(std::span<const uint8_t> bytes) {
  if (bytes.size() != kSize) return false;
  std::copy(bytes.begin(), bytes.end(), bytes_.begin());
  return true;
}

}  // namespace vm::tui
