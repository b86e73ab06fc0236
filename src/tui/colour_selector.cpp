#include "tui/colour_selector.h"

#include "tui/frame.h"
#include "tui/keys.h"

namespace vm::tui {
namespace {

constexpr int kColours = 16;
constexpr int kRows = kColours / ColourSelector::kColumns;

}  // namespace

ColourSelector::ColourSelector(int x, int y) { local = Rect{x, y, kColumns * kCellWidth, kRows}; }

void ColourSelector::Draw(CellBuffer& out, const Palette& palette, Point origin, bool focused) {
  const uint8_t text = palette[Colours().text];
  for (int colour = 0; colour < kColours; ++colour) {
    const int x = origin.x + local.x + colour % kColumns * kCellWidth;
    const int y = origin.y + local.y + colour / kColumns;
    const bool chosen = colour == value;
    // The swatch is a full block in the colour: the cell's background never shows.
    out.Put(x, y, chosen ? glyph::kRightTriangle : ' ', text);
    out.Put(x + 1, y, glyph::kFullBlock, static_cast<uint8_t>(colour));
    out.Put(x + 2, y, glyph::kFullBlock, static_cast<uint8_t>(colour));
    out.Put(x + 3, y, chosen ? glyph::kLeftTriangle : ' ', text);
    if (chosen && focused) out.SetCursor(x + 1, y);
  }
}

void ColourSelector::HandleEvent(Event& event) {
  if (event.kind == EventKind::Mouse) {
    const int x = event.mouse.where.x;
    const int y = event.mouse.where.y;
    if (x >= 0 && x < local.width && y >= 0 && y < local.height)
      value = y * kColumns + x / kCellWidth;
    event.Clear();
    return;
  }
  if (event.kind != EventKind::Key) return;
  int step = 0;
  switch (event.key) {
    case key::kLeft: step = -1; break;
    case key::kRight: step = 1; break;
    case key::kUp: step = -kColumns; break;
    case key::kDown: step = kColumns; break;
    default: return;
  }
  value = (value + step + kColours) % kColours;
  event.Clear();
}

}  // namespace vm::tui
