#include "tui/scroll_bar.h"

#include <algorithm>

#include "tui/frame.h"

namespace vm::tui {
namespace {

constexpr unsigned char kUp = 0x1E;     // ▲
constexpr unsigned char kDown = 0x1F;   // ▼
constexpr unsigned char kLeft = 0x11;   // ◄
constexpr unsigned char kRight = 0x10;  // ►

}  // namespace

int ScrollBar::Thumb() const {
  const int track = Length() - 2;
  if (track <= 1 || maximum <= 0) return 0;
  return std::clamp(value, 0, maximum) * (track - 1) / maximum;
}

void ScrollBar::Draw(CellBuffer& out, uint8_t attr) const {
  const int length = Length();
  if (length < 2) return;
  const auto put = [&](int i, unsigned char ch) {
    if (Vertical())
      out.Put(area.x, area.y + i, ch, attr);
    else
      out.Put(area.x + i, area.y, ch, attr);
  };
  put(0, Vertical() ? kUp : kLeft);
  for (int i = 1; i < length - 1; ++i) put(i, glyph::kLightShade);
  put(length - 1, Vertical() ? kDown : kRight);
  if (length > 2) put(1 + Thumb(), glyph::kSquare);
}

int ScrollBar::Hit(Point p) const {
  if (!area.Contains(p)) return 0;
  const int i = Vertical() ? p.y - area.y : p.x - area.x;
  if (i == 0) return -1;
  if (i == Length() - 1) return 1;
  const int thumb = 1 + Thumb();
  return i < thumb ? -1 : i > thumb ? 1 : 0;
}

}  // namespace vm::tui
