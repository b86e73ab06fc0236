#include "tui/group.h"

#include "tui/keys.h"

namespace vm::tui {

void Group::Adopt(std::unique_ptr<Control> control) {
  control->owner = this;
  controls_.push_back(std::move(control));
  if (focus_ < 0 && controls_.back()->CanFocus()) focus_ = static_cast<int>(controls_.size()) - 1;
}

void Group::Focus(const Control& control) {
  for (size_t i = 0; i < controls_.size(); ++i)
    if (controls_[i].get() == &control && control.CanFocus()) focus_ = static_cast<int>(i);
}

const Control* Group::Focused() const {
  return focus_ >= 0 ? controls_[static_cast<size_t>(focus_)].get() : nullptr;
}

Control* Group::Focused() {
  return focus_ >= 0 ? controls_[static_cast<size_t>(focus_)].get() : nullptr;
}

Control* Group::ChildAt(Point where) const {
  const Point p{where.x - bounds.x, where.y - bounds.y};
  if (!bounds.Contains(where)) return nullptr;
  for (const auto& control : controls_)
    if (control->local.Contains(p)) return control.get();
  return nullptr;
}

void Group::CommitAll() {
  for (auto& control : controls_) control->Commit();
}

void Group::Draw(CellBuffer& out, const Palette& palette) {
  const Rect outside = out.Clip();
  out.SetClip(Intersection(outside, bounds));
  const Point origin{bounds.x, bounds.y};
  for (size_t i = 0; i < controls_.size(); ++i)
    controls_[i]->Draw(out, palette, origin, static_cast<int>(i) == focus_);
  out.SetClip(outside);
}

void Group::MoveFocus(int step) {
  const int count = static_cast<int>(controls_.size());
  for (int n = 1; n <= count; ++n) {
    const int i = ((focus_ + step * n) % count + count) % count;
    if (controls_[static_cast<size_t>(i)]->CanFocus()) {
      focus_ = i;
      return;
    }
  }
}

bool Group::HandleHotLetter(int key) {
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

void Group::HandleMouse(Event& event) {
  Control* control = ChildAt(event.mouse.where);
  if (control == nullptr) return;
  if (control->disabled) return event.Clear();
  Focus(*control);
  Event local = event;
  local.mouse.where.x -= bounds.x + control->local.x;
  local.mouse.where.y -= bounds.y + control->local.y;
  control->HandleEvent(local);
  if (local.kind == EventKind::None) return event.Clear();
  // A click that the control leaves is a press of it (a button, a label).
  if (event.mouse.action == MouseAction::Press) {
    control->Activate();
    event.Clear();
  }
}

void Group::HandleKey(Event& event) {
  if (Control* focused = Focused()) focused->HandleEvent(event);
  if (event.kind == EventKind::None) return;
  if (event.key == key::kTab || event.key == key::kBackTab) {
    MoveFocus(event.key == key::kTab ? 1 : -1);
    event.Clear();
  } else if (HandleHotLetter(event.key)) {
    event.Clear();
  }
}

void Group::HandleEvent(Event& event) {
  if (event.kind == EventKind::Mouse)
    HandleMouse(event);
  else if (event.kind == EventKind::Key)
    HandleKey(event);
}

}  // namespace vm::tui
