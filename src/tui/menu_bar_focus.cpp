#include "tui/menu_bar_focus.h"

#include "tui/keys.h"
#include "tui/menu_box.h"

namespace vm::tui {

MenuBarFocus::MenuBarFocus(const MenuBar& bar, int index) : bar_(bar), index_(index) {
  bounds = bar.bounds;
}

int MenuBarFocus::HelpContext() const {
  return bar_.Items()[static_cast<size_t>(index_)].helpContext;
}

void MenuBarFocus::Open(int index) {
  if (index < 0) return;
  index_ = index;
  EndModal(cmd::kMenuOpen);
}

void MenuBarFocus::HandleEvent(Event& event) {
  if (event.kind == EventKind::Key) {
    switch (event.key) {
      case key::kLeft: EndModal(cmd::kMenuLeft); break;
      case key::kRight: EndModal(cmd::kMenuRight); break;
      case key::kHome: index_ = bar_.Neighbour(-1, 1); break;
      case key::kEnd: index_ = bar_.Neighbour(0, -1); break;
      case key::kEnter:
      case key::kDown: Open(index_); break;
      case key::kEsc:
      case key::F(10): EndModal(cmd::kCancel); break;
      default:
        if ((event.key & key::kAlt) != 0)
          Open(bar_.ItemForAltKey(event.key));
        else if (key::IsCharacter(event.key))
          Open(bar_.ItemForAltKey(key::kAlt | event.key));
    }
  } else if (event.kind == EventKind::Mouse && event.mouse.action == MouseAction::Press) {
    const int clicked = event.mouse.where.y == bounds.y ? bar_.ItemAt(event.mouse.where.x) : -1;
    if (clicked >= 0)
      Open(clicked);
    else
      EndModal(cmd::kCancel);
  } else if (event.kind == EventKind::Command) {
    EndModal(event.command);
  } else {
    return;
  }
  event.Clear();
}

}  // namespace vm::tui
