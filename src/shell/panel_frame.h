// What both panels share: the double frame with its title, the column rules (╤ on the top
// frame, ┴ on the separator), the separator row and the information line.
#pragma once

#include <string_view>
#include <vector>

#include "tui/cell_buffer.h"
#include "tui/palette.h"

namespace vm::shell {

// Rows of a panel counted from its top frame (0).
inline constexpr int kListTop = 2;  // the first list row under a header
inline int SeparatorRow(const tui::Rect& panel) { return panel.height - 3; }
inline int InfoRow(const tui::Rect& panel) { return panel.height - 2; }

// Draws the frame, the title centred on the top line, the separator, and the rules from row 1
// down to the separator at the panel-relative columns given.
void DrawPanelFrame(tui::CellBuffer& out, const tui::Palette& palette, const tui::Rect& panel,
                    std::string_view title, const std::vector<int>& rules);
// Writes the information line: the text cut or padded to the panel's inner width.
void DrawInfoLine(tui::CellBuffer& out, const tui::Palette& palette, const tui::Rect& panel,
                  std::string_view text);

}  // namespace vm::shell
