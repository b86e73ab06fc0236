// What both file panels do as views of the main window: a list under a cursor that the arrows,
// PgUp, PgDn, Home and End move (Left and Right as Home and End), Space and Ins select, the
// wheel and clicks above or below the list step, a click puts the cursor on an entry; a double
// click on an entry is left for the main window, which enters it. The quick search's text shows
// in the information line while the panel has the focus.
#pragma once

#include <string>
#include <string_view>

#include "shell/list_cursor.h"
#include "tui/control.h"

namespace vm::shell {

class ListPanel : public tui::Control {
 public:
  bool Focusable() const override { return true; }
  void HandleEvent(tui::Event& event) override;

  virtual ListCursor& Cursor() = 0;
  virtual const ListCursor& Cursor() const = 0;
  // The panel row (0 is the top frame) of the list's first entry.
  virtual int FirstListRow() const = 0;
  // Space and Ins: selects or unselects the cursor entry and moves down.
  virtual void ToggleCursor() = 0;
  // The list entry (from 1) shown on the panel row, 0 when the row shows none.
  int EntryAtRow(int row) const;

  // The main window's quick search text, which outlives the panel's drawing.
  void SetSearchText(const std::string& text) { search_ = &text; }

 protected:
  // What the information line shows instead of its text: the search while one is typed here.
  std::string_view SearchText(bool focused) const;
  // The panel's cells on the screen.
  tui::Rect Placed(tui::Point origin) const {
    return tui::Rect{origin.x + local.x, origin.y + local.y, local.width, local.height};
  }

 private:
  bool HandleKey(int key);
  void HandleMouse(tui::Event& event);

  const std::string* search_ = nullptr;
};

}  // namespace vm::shell
