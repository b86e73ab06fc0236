#include "tui/fake_backend.h"

#include <csignal>

#include "tui/keys.h"

namespace vm::tui {

void FakeBackend::PushKeys(std::string_view cp866Text) {
  for (unsigned char c : cp866Text) PushKey(c);
}

void FakeBackend::PushAction(std::function<void()> action) {
  Event event(kAction);
  event.command = static_cast<int>(actions_.size());
  actions_.push_back(std::move(action));
  Push(event);
}

void FakeBackend::ResizeTo(int width, int height) {
  // The terminal takes the new size when the script reaches the event.
  Event resize(EventKind::Resize);
  resize.mouse.where = Point{width, height};
  Push(resize);
}

void FakeBackend::Present(const CellBuffer& buffer) {
  screen_ = buffer;
  ++presents;
}

Event FakeBackend::WaitEvent(int timeoutMs) {
  while (!events_.empty()) {
    if (events_.front().kind == kWait && timeoutMs == 0) return Event(EventKind::Idle);
    Event event = events_.front();
    events_.pop_front();
    if (event.kind == EventKind::Resize)
      width_ = event.mouse.where.x, height_ = event.mouse.where.y;
    if (event.kind == kSnapshot) snapshots.push_back(screen_);
    if (event.kind == kAction) actions_[static_cast<size_t>(event.command)]();
    if (event.kind != kSnapshot && event.kind != kWait && event.kind != kAction) return event;
  }
  if (timeoutMs == 0) return Event(EventKind::Idle);
  // Out of script: Esc closes dialogs; should that not end the run, the end signal does.
  if (++exhausted_ > 20) {
    Event end(EventKind::Signal);
    end.signal = SIGTERM;
    return end;
  }
  return Event::Key(key::kEsc);
}

}  // namespace vm::tui
