// A scroll bar along the right or the bottom edge of a view: an arrow at each end, a shaded
// track between them and a thumb that stands for the position within 0..maximum.
#pragma once

#include "tui/cell_buffer.h"

namespace vm::tui {

struct ScrollBar {
  Rect area;  // one column wide (vertical) or one row high (horizontal)
  int value = 0;
  int maximum = 0;

  void Draw(CellBuffer& out, uint8_t attr) const;
  // Where a click lands: -1 on the first arrow or the track before the thumb, +1 on the
  // track after it or the last arrow, 0 on the thumb or outside.
  int Hit(Point p) const;

 private:
  bool Vertical() const { return area.width == 1 && area.height > 1; }
  int Length() const { return Vertical() ? area.height : area.width; }
  // The thumb's cell counted from the first track cell.
  int Thumb() const;
};

}  // namespace vm::tui
