#include "tui/dialog.h"

#include "tui/frame.h"
#include "tui/keys.h"

namespace vm::tui {

Dialog::Dialog(int width, int height, std::string title) : title_(std::move(title)) {
  bounds = Rect{0, 0, width, height};
  helpContext = hc::kNoKeys;
}

void Dialog::Layout(const Rect& desktop) { bounds = Centred(desktop, bounds.width, bounds.height); }

void Dialog::Focus(const Control& control) {
  for (size_t i = 0; i < controls_.size(); ++i)
    if (controls_[i].get() == &control && control.CanFocus()) focus_ = static_cast<int>(i);
}

const Control* Dialog::Focused() const {
  return focus_ >= 0 ? controls_[static_cast<size_t>(focus_)].get() : nullptr;
}

void Dialog::Close(int command) {
  if (beforeClose_ && !beforeClose_(command)) return;
  if (command == cmd::kOk || command == cmd::kYes)
    for (auto& control : controls_) control->Commit();
  EndModal(command);
}

void Dialog::Draw(CellBuffer& out, const Palette& palette) {
  const uint8_t frame = palette[error_ ? pal::kErrorFrame : pal::kDialogFrame];
  DrawFrame(out, bounds, frame, FrameStyle::Double, title_);
  const Point origin{bounds.x, bounds.y};
  for (size_t i = 0; i < controls_.size(); ++i)
    controls_[i]->Draw(out, palette, origin, static_cast<int>(i) == focus_);
}

void Dialog::MoveFocus(int step) {
  const int count = static_cast<int>(controls_.size());
  for (int n = 1; n <= count; ++n) {
    const int i = ((focus_ + step * n) % count + count) % count;
    if (controls_[static_cast<size_t>(i)]->CanFocus()) {
      focus_ = i;
      return;
    }
  }
}

bool Dialog::HandleHotLetter(int key) {
  const Control* focused = Focused();
  const bool plainAllowed = focused == nullptr || !focused->TakesCharacters();
  for (auto& control : controls_) {
    if (control->disabled) continue;
    const unsigned char hot = control->Hot();
    if (key::IsAltHotLetter(key, hot) || (plainAllowed && key::IsPlainHotLetter(key, hot))) {
      Focus(*control);
      control->Activate();
      return true;
    }
  }
  return false;
}

void Dialog::HandleEvent(Event& event) {
  if (event.kind == EventKind::Mouse) {
    const Point p{event.mouse.where.x - bounds.x, event.mouse.where.y - bounds.y};
    for (auto& control : controls_)
      if (control->local.Contains(p)) {
        if (control->disabled) break;
        Focus(*control);
        control->HandleEvent(event);
        if (event.kind != EventKind::None && event.mouse.action == MouseAction::Press)
          control->Activate();
        break;
      }
    event.Clear();
    return;
  }
  if (event.kind == EventKind::Command) {
    // A key of the status line: as the button with that command.
    Close(event.command);
    event.Clear();
    return;
  }
  if (event.kind != EventKind::Key) return;
  if (focus_ >= 0) controls_[static_cast<size_t>(focus_)]->HandleEvent(event);
  if (event.kind == EventKind::None) return;
  switch (event.key) {
    case key::kTab: MoveFocus(1); break;
    case key::kBackTab: MoveFocus(-1); break;
    case key::kEsc: Close(cmd::kCancel); break;
    case key::kEnter:
      if (defaultCommand_ != 0) Close(defaultCommand_);
      break;
    default: HandleHotLetter(event.key);
  }
  event.Clear();
}

}  // namespace vm::tui
