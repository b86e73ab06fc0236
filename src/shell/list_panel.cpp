#include "shell/list_panel.h"

#include "tui/keys.h"

namespace vm::shell {

using namespace tui;

int ListPanel::EntryAtRow(int row) const {
  const ListCursor& list = Cursor();
  const int listRow = row - FirstListRow();
  if (listRow < 0 || listRow >= list.rows) return 0;
  const int index = list.top + listRow;
  return index <= list.count ? index : 0;
}

std::string_view ListPanel::SearchText(bool focused) const {
  return focused && search_ != nullptr ? std::string_view(*search_) : std::string_view();
}

bool ListPanel::HandleKey(int key) {
  ListCursor& cursor = Cursor();
  switch (key) {
    case key::kUp: cursor.Step(-1); break;
    case key::kDown: cursor.Step(1); break;
    case key::kPgUp: cursor.Page(-cursor.rows); break;
    case key::kPgDn: cursor.Page(cursor.rows); break;
    case key::kHome:
    case key::kLeft: cursor.MoveTo(1); break;
    case key::kEnd:
    case key::kRight: cursor.MoveTo(cursor.count); break;
    case ' ':
    case key::kIns: ToggleCursor(); break;
    default: return false;
  }
  return true;
}

void ListPanel::HandleMouse(Event& event) {
  ListCursor& cursor = Cursor();
  const MouseEvent& mouse = event.mouse;
  if (mouse.action == MouseAction::WheelUp || mouse.action == MouseAction::WheelDown) {
    cursor.Step(mouse.action == MouseAction::WheelUp ? -1 : 1);
  } else if (mouse.where.y < FirstListRow()) {
    cursor.Step(-1);
  } else if (mouse.where.y >= FirstListRow() + cursor.rows) {
    cursor.Step(1);
  } else if (const int index = EntryAtRow(mouse.where.y); index != 0) {
    cursor.MoveTo(index);
    if (mouse.action == MouseAction::DoubleClick) return;
  }
  event.Clear();
}

void ListPanel::HandleEvent(Event& event) {
  if (event.kind == EventKind::Mouse)
    HandleMouse(event);
  else if (event.kind == EventKind::Key && HandleKey(event.key))
    event.Clear();
}

}  // namespace vm::shell
