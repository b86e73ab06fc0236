#include "tui/cluster.h"

#include "tui/keys.h"

namespace vm::tui {

Cluster::Cluster(int x, int y, int width, std::vector<std::string> items)
    : items_(std::move(items)) {
  local = Rect{x, y, width, static_cast<int>(items_.size())};
}

void Cluster::Draw(CellBuffer& out, const Palette& palette, Point origin, bool focused) {
  const int x = origin.x + local.x;
  const int y = origin.y + local.y;
  const ColourRoles& colours = Colours();
  const uint8_t normal = palette[disabled ? colours.disabled : colours.text];
  for (int i = 0; i < Count(); ++i) {
    const bool lit = focused && i == current_;
    const uint8_t attr = lit ? palette[colours.selected] : normal;
    out.Fill(Rect{x, y + i, local.width, 1}, ' ', normal);
    out.PutText(x + 1, y + i, Marker(i), attr);
    out.PutHotText(x + 5, y + i, items_[static_cast<size_t>(i)], attr, palette[colours.hot]);
  }
  if (focused) out.SetCursor(x + 2, y + current_);
}

void Cluster::MoveFocus(int item) {
  if (item < 0 || item >= Count() || item == current_) return;
  current_ = item;
  MovedTo(item);
}

void Cluster::HandleEvent(Event& event) {
  if (event.kind == EventKind::Mouse) {
    const int item = event.mouse.where.y;
    if (event.mouse.action == MouseAction::Press && item >= 0 && item < Count()) {
      current_ = item;
      Press(item);
    }
    event.Clear();
    return;
  }
  if (event.kind != EventKind::Key) return;
  switch (event.key) {
    case key::kUp: MoveFocus(current_ - 1); break;
    case key::kDown: MoveFocus(current_ + 1); break;
    case ' ': Press(current_); break;
    default: return;
  }
  event.Clear();
}

void Cluster::Changed() {
  if (onChange_) onChange_();
}

}  // namespace vm::tui
