// A list box: one line of text per item, the focused item lit, a scroll bar on its right
// edge while the items are more than its rows (the column stays the box's otherwise). Up, Down,
// PgUp, PgDn, Home and End move the focus; a click focuses the item under it, the wheel and the
// scroll bar's arrows move it by one.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "tui/control.h"
#include "tui/scroll_bar.h"

namespace vm::tui {

class ListBox : public Control {
 public:
  // The box takes width columns (the scroll bar included) and height rows.
  ListBox(int x, int y, int width, int height);

  void Draw(CellBuffer& out, const Palette& palette, Point origin, bool focused) override;
  bool Focusable() const override { return true; }
  void HandleEvent(Event& event) override;

  // The focus stays on its item number where it can.
  void SetItems(std::vector<std::string> items);
  const std::vector<std::string>& Items() const { return items_; }
  // The focused item (from 0); -1 when the list is empty.
  int FocusedItem() const { return items_.empty() ? -1 : focused_; }
  void FocusItem(int item);
  int TopItem() const { return top_; }

 private:
  int Rows() const { return local.height; }
  bool NeedsScrollBar() const { return static_cast<int>(items_.size()) > Rows(); }
  int MostIndex() const { return std::max(0, static_cast<int>(items_.size()) - 1); }

  std::vector<std::string> items_;
  int focused_ = 0;
  int top_ = 0;
};

}  // namespace vm::tui
