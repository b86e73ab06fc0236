#include "tui/help_page.h"

#include <algorithm>

#include "tui/keys.h"
#include "tui/scroll_bar.h"

namespace vm::tui {

void HelpPage::Show(const std::vector<HelpLine>& lines, int top, int link) {
  lines_ = &lines;
  links_.clear();
  for (size_t i = 0; i < lines.size(); ++i)
    for (const HelpLink& at : lines[i].links) links_.push_back(LinkAt{static_cast<int>(i), at});
  link_ = link < static_cast<int>(links_.size()) ? link : -1;
  Scroll(top);
}

int HelpPage::MostTop() const {
  const int count = lines_ != nullptr ? static_cast<int>(lines_->size()) : 0;
  return std::max(0, count - TextRows());
}

void HelpPage::Scroll(int top) { top_ = std::clamp(top, 0, MostTop()); }

void HelpPage::Pick(int link) {
  if (links_.empty()) return;
  const int count = static_cast<int>(links_.size());
  link_ = (link % count + count) % count;
  const int line = links_[static_cast<size_t>(link_)].line;
  if (line < top_) Scroll(line);
  if (line >= top_ + TextRows()) Scroll(line - TextRows() + 1);
}

int HelpPage::PickedTarget() const {
  return link_ >= 0 ? links_[static_cast<size_t>(link_)].link.target : 0;
}

void HelpPage::Draw(CellBuffer& out, const Palette& palette, Point origin, bool) {
  if (lines_ == nullptr) return;
  const int x = origin.x + local.x;
  const int y = origin.y + local.y;
  const ColourRoles& colours = Colours();
  const uint8_t text = palette[colours.text];
  out.Fill(Rect{x, y, TextWidth(), TextRows()}, ' ', text);
  for (int row = 0; row < TextRows() && top_ + row < static_cast<int>(lines_->size()); ++row) {
    const HelpLine& line = (*lines_)[static_cast<size_t>(top_ + row)];
    out.PutText(x, y + row, std::string_view(line.text).substr(0, static_cast<size_t>(TextWidth())),
                text);
    for (const HelpLink& link : line.links) {
      const bool picked = link_ >= 0 && links_[static_cast<size_t>(link_)].line == top_ + row &&
                          links_[static_cast<size_t>(link_)].link.column == link.column;
      const uint8_t attr = palette[picked ? colours.selected : colours.hot];
      for (size_t i = 0; i < link.length && static_cast<int>(link.column + i) < TextWidth(); ++i)
        out.Put(x + static_cast<int>(link.column + i), y + row,
                static_cast<unsigned char>(line.text[link.column + i]), attr);
      if (picked) out.SetCursor(x + static_cast<int>(link.column), y + row);
    }
  }
  if (MostTop() > 0)
    ScrollBar{Rect{x + TextWidth(), y, 1, TextRows()}, top_, MostTop()}.Draw(out,
                                                                             palette[colours.bar]);
}

bool HelpPage::HandleKey(int key) {
  switch (key) {
    case key::kUp: Scroll(top_ - 1); break;
    case key::kDown: Scroll(top_ + 1); break;
    case key::kPgUp: Scroll(top_ - TextRows()); break;
    case key::kPgDn: Scroll(top_ + TextRows()); break;
    case key::kHome: Scroll(0); break;
    case key::kEnd: Scroll(MostTop()); break;
    case key::kTab: Pick(link_ + 1); break;
    case key::kBackTab: Pick(link_ < 0 ? -1 : link_ - 1); break;
    case key::kEnter:
      if (link_ >= 0) follow_(PickedTarget());
      break;
    default: return false;
  }
  return true;
}

void HelpPage::HandleMouse(const MouseEvent& mouse) {
  if (mouse.action == MouseAction::WheelUp || mouse.action == MouseAction::WheelDown) {
    Scroll(top_ + (mouse.action == MouseAction::WheelUp ? -3 : 3));
    return;
  }
  if (mouse.action != MouseAction::Press) return;
  const Point p = mouse.where;
  if (p.x == TextWidth()) {
    const ScrollBar bar{Rect{TextWidth(), 0, 1, TextRows()}, top_, MostTop()};
    Scroll(top_ + bar.Hit(p) * TextRows());
    return;
  }
  const int line = top_ + p.y;
  for (const LinkAt& at : links_)
    if (at.line == line && p.x >= static_cast<int>(at.link.column) &&
        p.x < static_cast<int>(at.link.column + at.link.length))
      return follow_(at.link.target);
}

void HelpPage::HandleEvent(Event& event) {
  if (event.kind == EventKind::Mouse) {
    HandleMouse(event.mouse);
    event.Clear();
  } else if (event.kind == EventKind::Key && HandleKey(event.key)) {
    event.Clear();
  }
}

}  // namespace vm::tui
