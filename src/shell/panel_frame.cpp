#include "shell/panel_frame.h"

#include <string>

#include "shell/panel_colours.h"
#include "text/text_helpers.h"
#include "tui/frame.h"

namespace vm::shell {

using namespace tui;

void DrawPanelFrame(CellBuffer& out, const Palette& palette, const Rect& panel,
                    std::string_view title, const std::vector<int>& rules) {
  const uint8_t frame = palette[panel_pal::kFrame];
  DrawFrame(out, panel, frame, FrameStyle::Double);
  const int separator = panel.y + SeparatorRow(panel);
  out.Put(panel.x, separator, glyph::kDoubleVerticalRight, frame);
  for (int x = panel.x + 1; x < panel.Right(); ++x)
    out.Put(x, separator, glyph::kSingleHorizontal, frame);
  out.Put(panel.Right(), separator, glyph::kDoubleVerticalLeft, frame);
  for (int column : rules) {
    const int x = panel.x + column;
    out.Put(x, panel.y, glyph::kDoubleDownSingle, frame);
    for (int y = panel.y + 1; y < separator; ++y) out.Put(x, y, glyph::kSingleVertical, frame);
    out.Put(x, separator, glyph::kSingleUp, frame);
  }
  if (title.empty()) return;
  std::string text(title);
  const size_t room = static_cast<size_t>(panel.width - 2);
  if (text.size() > room) text.resize(room);
  out.PutText(panel.x + (panel.width - static_cast<int>(text.size())) / 2, panel.y, text,
              palette[panel_pal::kTitle]);
}

void DrawInfoLine(CellBuffer& out, const Palette& palette, const Rect& panel,
                  std::string_view text) {
  out.PutText(panel.x + 1, panel.y + InfoRow(panel),
              FieldPad(static_cast<size_t>(panel.width - 2), 0, text), palette[panel_pal::kTitle]);
}

}  // namespace vm::shell
