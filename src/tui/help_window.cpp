#include "tui/help_window.h"

#include <algorithm>

#include "text/cp866.h"
#include "tui/frame.h"
#include "tui/keys.h"
#include "tui/scroll_bar.h"

namespace vm::tui {

HelpWindow::HelpWindow(const HelpFile& help, int topic) : help_(help) {
  helpContext = hc::kHelpWindow;
  missing_.push_back(HelpLine{Cp866("Этот раздел справки отсутствует."), {}});
  Open(topic);
  history_.clear();
}

void HelpWindow::Layout(const Rect& desktop) {
  bounds = Centred(desktop, std::min(kWidth, desktop.width), std::max(4, desktop.height - 2));
  Scroll(top_);
}

const std::vector<HelpLine>& HelpWindow::Lines() const {
  const auto found = help_.topics.find(topic_);
  return found != help_.topics.end() ? found->second.lines : missing_;
}

void HelpWindow::Open(int topic) {
  history_.push_back(Place{topic_, top_, link_});
  topic_ = topic;
  top_ = 0;
  link_ = -1;
  links_.clear();
  const std::vector<HelpLine>& lines = Lines();
  for (size_t i = 0; i < lines.size(); ++i)
    for (const HelpLink& link : lines[i].links) links_.push_back(LinkAt{static_cast<int>(i), link});
}

void HelpWindow::Back() {
  if (history_.empty()) return;
  const Place place = history_.back();
  history_.pop_back();
  Open(place.topic);
  history_.pop_back();  // going back is no step forward
  link_ = place.link;
  Scroll(place.top);
}

void HelpWindow::Scroll(int top) {
  const int most = std::max(0, static_cast<int>(Lines().size()) - TextRows());
  top_ = std::clamp(top, 0, most);
}

void HelpWindow::Pick(int link) {
  if (links_.empty()) return;
  const int count = static_cast<int>(links_.size());
  link_ = (link % count + count) % count;
  const int line = links_[static_cast<size_t>(link_)].line;
  if (line < top_) Scroll(line);
  if (line >= top_ + TextRows()) Scroll(line - TextRows() + 1);
}

int HelpWindow::PickedTarget() const {
  return link_ >= 0 ? links_[static_cast<size_t>(link_)].link.target : 0;
}

void HelpWindow::Draw(CellBuffer& out, const Palette& palette) {
  const uint8_t frame = palette[pal::kWindowFrame];
  const uint8_t text = palette[pal::kWindowText];
  const auto found = help_.topics.find(topic_);
  DrawFrame(out, bounds, frame, FrameStyle::Double,
            found != help_.topics.end() ? found->second.title : Cp866("Справка"));
  out.Fill(Rect{bounds.x + 1, bounds.y + 1, bounds.width - 2, TextRows()}, ' ', text);
  const std::string keys =
      Cp866(" Tab - ссылка  Enter - перейти  Backspace - назад  Esc - закрыть ");
  if (static_cast<int>(keys.size()) + 4 <= bounds.width)
    out.PutText(bounds.x + (bounds.width - static_cast<int>(keys.size())) / 2, bounds.Bottom(),
                keys, frame);

  const std::vector<HelpLine>& lines = Lines();
  const int width = bounds.width - 2;
  for (int row = 0; row < TextRows() && top_ + row < static_cast<int>(lines.size()); ++row) {
    const HelpLine& line = lines[static_cast<size_t>(top_ + row)];
    const int y = bounds.y + 1 + row;
    out.PutText(bounds.x + 1, y, std::string_view(line.text).substr(0, static_cast<size_t>(width)),
                text);
    for (const HelpLink& link : line.links) {
      const bool picked = link_ >= 0 && links_[static_cast<size_t>(link_)].line == top_ + row &&
                          links_[static_cast<size_t>(link_)].link.column == link.column;
      const uint8_t attr = palette[picked ? pal::kHelpLinkSelected : pal::kHelpLink];
      for (size_t i = 0; i < link.length && static_cast<int>(link.column + i) < width; ++i)
        out.Put(bounds.x + 1 + static_cast<int>(link.column + i), y,
                static_cast<unsigned char>(line.text[link.column + i]), attr);
      if (picked) out.SetCursor(bounds.x + 1 + static_cast<int>(link.column), y);
    }
  }
  const int most = std::max(0, static_cast<int>(lines.size()) - TextRows());
  if (most > 0)
    ScrollBar{Rect{bounds.Right(), bounds.y + 1, 1, TextRows()}, top_, most}.Draw(out, palette);
}

void HelpWindow::HandleKey(int key) {
  switch (key) {
    case key::kUp: Scroll(top_ - 1); break;
    case key::kDown: Scroll(top_ + 1); break;
    case key::kPgUp: Scroll(top_ - TextRows()); break;
    case key::kPgDn: Scroll(top_ + TextRows()); break;
    case key::kHome: Scroll(0); break;
    case key::kEnd: Scroll(static_cast<int>(Lines().size())); break;
    case key::kTab: Pick(link_ + 1); break;
    case key::kBackTab: Pick(link_ < 0 ? -1 : link_ - 1); break;
    case key::kEnter:
      if (link_ >= 0) Open(PickedTarget());
      break;
    case key::kBackspace:
    case key::kAlt | key::kLeft: Back(); break;
    case key::kEsc: EndModal(cmd::kCancel); break;
    default: break;
  }
}

void HelpWindow::HandleMouse(const MouseEvent& mouse) {
  if (mouse.action == MouseAction::WheelUp || mouse.action == MouseAction::WheelDown) {
    Scroll(top_ + (mouse.action == MouseAction::WheelUp ? -3 : 3));
    return;
  }
  const Point p = mouse.where;
  if (mouse.action != MouseAction::Press || !bounds.Contains(p)) return;
  if (p.x == bounds.Right() && p.y > bounds.y && p.y < bounds.Bottom()) {
    const int most = std::max(0, static_cast<int>(Lines().size()) - TextRows());
    const ScrollBar bar{Rect{bounds.Right(), bounds.y + 1, 1, TextRows()}, top_, most};
    Scroll(top_ + bar.Hit(p) * TextRows());
    return;
  }
  const int line = top_ + p.y - bounds.y - 1;
  const int column = p.x - bounds.x - 1;
  for (size_t i = 0; i < links_.size(); ++i) {
    const LinkAt& at = links_[i];
    if (at.line == line && column >= static_cast<int>(at.link.column) &&
        column < static_cast<int>(at.link.column + at.link.length)) {
      Open(at.link.target);
      return;
    }
  }
}

void HelpWindow::HandleEvent(Event& event) {
  if (event.kind == EventKind::Key) {
    HandleKey(event.key);
    event.Clear();
  } else if (event.kind == EventKind::Mouse) {
    HandleMouse(event.mouse);
    event.Clear();
  }
}

}  // namespace vm::tui
