#include "tui/help_window.h"

#include <algorithm>
#include <memory>

#include "text/cp866.h"
#include "tui/frame.h"
#include "tui/keys.h"

namespace vm::tui {

HelpWindow::HelpWindow(const HelpFile& help, int topic)
    : help_(help), page_(Add(std::make_unique<HelpPage>([this](int target) { Open(target); }))) {
  helpContext = hc::kHelpWindow;
  SetRoles(kWindowRoles);
  missing_.push_back(HelpLine{Cp866("Этот раздел справки отсутствует."), {}});
  Open(topic);
  history_.clear();
}

void HelpWindow::Layout(const Rect& desktop) {
  bounds = Centred(desktop, std::min(kWidth, desktop.width), std::max(4, desktop.height - 2));
  // The text inside the frame; the page's scroll bar lies on the right frame.
  page_.local = Rect{1, 1, bounds.width - 1, bounds.height - 2};
  page_.Fit();
}

const std::vector<HelpLine>& HelpWindow::Lines() const {
  const auto found = help_.topics.find(topic_);
  return found != help_.topics.end() ? found->second.lines : missing_;
}

void HelpWindow::Open(int topic) {
  history_.push_back(Place{topic_, page_.TopLine(), page_.PickedLink()});
  topic_ = topic;
  page_.Show(Lines(), 0, -1);
}

void HelpWindow::Back() {
  if (history_.empty()) return;
  const Place place = history_.back();
  history_.pop_back();
  topic_ = place.topic;
  page_.Show(Lines(), place.top, place.link);
}

void HelpWindow::Draw(CellBuffer& out, const Palette& palette) {
  const uint8_t frame = palette[Roles().frame];
  const auto found = help_.topics.find(topic_);
  DrawFrame(out, bounds, frame, FrameStyle::Double,
            found != help_.topics.end() ? found->second.title : Cp866("Справка"));
  const std::string keys =
      Cp866(" Tab - ссылка  Enter - перейти  Backspace - назад  Esc - закрыть ");
  if (static_cast<int>(keys.size()) + 4 <= bounds.width)
    out.PutText(bounds.x + (bounds.width - static_cast<int>(keys.size())) / 2, bounds.Bottom(),
                keys, frame);
  Group::Draw(out, palette);
}

void HelpWindow::HandleEvent(Event& event) {
  if (event.kind == EventKind::Key) {
    Group::HandleEvent(event);
    if (event.kind != EventKind::Key) return;
    if (event.key == key::kBackspace || event.key == (key::kAlt | key::kLeft))
      Back();
    else if (event.key == key::kEsc)
      EndModal(cmd::kCancel);
    event.Clear();
  } else if (event.kind == EventKind::Mouse) {
    // The wheel scrolls the page wherever the pointer is.
    const bool wheel =
        event.mouse.action == MouseAction::WheelUp || event.mouse.action == MouseAction::WheelDown;
    if (wheel)
      page_.HandleEvent(event);
    else
      Group::HandleEvent(event);
    event.Clear();
  }
}

}  // namespace vm::tui
