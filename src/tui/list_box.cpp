#include "tui/list_box.h"

#include <algorithm>

#include "tui/keys.h"

namespace vm::tui {

ListBox::ListBox(int x, int y, int width, int height) { local = Rect{x, y, width, height}; }

void ListBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  FocusItem(focused_);
}

void ListBox::FocusItem(int item) {
  const int count = static_cast<int>(items_.size());
  focused_ = std::clamp(item, 0, std::max(0, count - 1));
  if (focused_ < top_) top_ = focused_;
  if (focused_ >= top_ + Rows()) top_ = focused_ - Rows() + 1;
  top_ = std::clamp(top_, 0, std::max(0, count - Rows()));
}

void ListBox::Draw(CellBuffer& out, const Palette& palette, Point origin, bool focused) {
  const int x = origin.x + local.x;
  const int y = origin.y + local.y;
  const int textWidth = local.width - 1;
  const ColourRoles& colours = Colours();
  const uint8_t normal = palette[colours.input];
  for (int row = 0; row < Rows(); ++row) {
    const int item = top_ + row;
    const bool lit = item == focused_ && item < static_cast<int>(items_.size());
    const uint8_t attr =
        lit ? palette[focused ? colours.inputSelected : colours.listCursor] : normal;
    out.Fill(Rect{x, y + row, textWidth, 1}, ' ', attr);
    if (item < static_cast<int>(items_.size()))
      out.PutText(x + 1, y + row,
                  std::string_view(items_[static_cast<size_t>(item)])
                      .substr(0, static_cast<size_t>(std::max(0, textWidth - 1))),
                  attr);
  }
  if (NeedsScrollBar())
    ScrollBar{Rect{x + textWidth, y, 1, Rows()}, focused_, MostIndex()}.Draw(out,
                                                                             palette[colours.bar]);
  else
    out.Fill(Rect{x + textWidth, y, 1, Rows()}, ' ', normal);
  if (focused) out.SetCursor(x + 1, y + focused_ - top_);
}

void ListBox::HandleEvent(Event& event) {
  if (event.kind == EventKind::Mouse) {
    const Point p = event.mouse.where;
    const ScrollBar bar{Rect{local.width - 1, 0, 1, Rows()}, focused_, MostIndex()};
    switch (event.mouse.action) {
      case MouseAction::WheelUp: FocusItem(focused_ - 1); break;
      case MouseAction::WheelDown: FocusItem(focused_ + 1); break;
      default:
        if (p.x == local.width - 1 && NeedsScrollBar())
          FocusItem(focused_ + bar.Hit(p));
        else
          FocusItem(top_ + p.y);
    }
    event.Clear();
    return;
  }
  if (event.kind != EventKind::Key) return;
  const int count = static_cast<int>(items_.size());
  switch (event.key) {
    case key::kUp: FocusItem(focused_ - 1); break;
    case key::kDown: FocusItem(focused_ + 1); break;
    case key::kPgUp: FocusItem(focused_ - Rows()); break;
    case key::kPgDn: FocusItem(focused_ + Rows()); break;
    case key::kHome: FocusItem(0); break;
    case key::kEnd: FocusItem(count - 1); break;
    default: return;
  }
  event.Clear();
}

}  // namespace vm::tui
