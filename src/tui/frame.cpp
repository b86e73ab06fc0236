#include "tui/frame.h"

#include <string>

namespace vm::tui {

void DrawFrame(CellBuffer& out, const Rect& area, uint8_t attr, FrameStyle style,
               std::string_view title) {
  using namespace glyph;
  const bool dbl = style == FrameStyle::Double;
  out.Fill(area, ' ', attr);
  const unsigned char h = dbl ? kDoubleHorizontal : kSingleHorizontal;
  const unsigned char v = dbl ? kDoubleVertical : kSingleVertical;
  for (int x = area.x + 1; x < area.Right(); ++x) {
    out.Put(x, area.y, h, attr);
    out.Put(x, area.Bottom(), h, attr);
  }
  for (int y = area.y + 1; y < area.Bottom(); ++y) {
    out.Put(area.x, y, v, attr);
    out.Put(area.Right(), y, v, attr);
  }
  out.Put(area.x, area.y, dbl ? kDoubleTopLeft : kSingleTopLeft, attr);
  out.Put(area.Right(), area.y, dbl ? kDoubleTopRight : kSingleTopRight, attr);
  out.Put(area.x, area.Bottom(), dbl ? kDoubleBottomLeft : kSingleBottomLeft, attr);
  out.Put(area.Right(), area.Bottom(), dbl ? kDoubleBottomRight : kSingleBottomRight, attr);
  if (title.empty()) return;
  std::string text(" ");
  text.append(title).append(" ");
  const int room = area.width - 4;
  if (room <= 0) return;
  if (static_cast<int>(text.size()) > room) text.resize(static_cast<size_t>(room));
  out.PutText(area.x + (area.width - static_cast<int>(text.size())) / 2, area.y, text, attr);
}

}  // namespace vm::tui
