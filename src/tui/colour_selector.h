// A colour selector: the sixteen PC colours as a grid of four rows of four swatches, the
// chosen one between markers. The arrow keys move the choice (Up and Down by a row), a click
// picks a swatch.
#pragma once

#include "tui/control.h"

namespace vm::tui {

class ColourSelector : public Control {
 public:
  static constexpr int kColumns = 4;
  static constexpr int kCellWidth = 4;

  ColourSelector(int x, int y);

  void Draw(CellBuffer& out, const Palette& palette, Point origin, bool focused) override;
  bool Focusable() const override { return true; }
  void HandleEvent(Event& event) override;

  int value = 0;  // 0 to 15
};

}  // namespace vm::tui
