// The cursor of a list shown in a fixed number of rows: the entry under it and the first
// entry shown, both from 1.
#pragma once

#include <algorithm>

namespace vm::shell {

struct ListCursor {
  int count = 0;
  int cursor = 1;
  int top = 1;
  int rows = 1;

  // Puts the cursor on the entry, scrolling as little as needed to show it.
  void MoveTo(int index) {
    cursor = std::clamp(index, 1, std::max(count, 1));
    if (cursor < top) top = cursor;
    if (cursor >= top + rows) top = cursor - rows + 1;
    ClampTop();
  }
  void Step(int delta) { MoveTo(cursor + delta); }
  // PgUp and PgDn: the cursor and the list move together, clamped at the ends.
  void Page(int delta) {
    top += delta;
    ClampTop();
    MoveTo(cursor + delta);
  }
  void SetCount(int n) {
    count = n;
    MoveTo(cursor);
  }
  void SetRows(int n) {
    rows = std::max(n, 1);
    MoveTo(cursor);
  }
  // The list never ends above the last row while there are entries above the top.
  void ClampTop() { top = std::clamp(top, 1, std::max(1, count - rows + 1)); }
};

}  // namespace vm::shell
