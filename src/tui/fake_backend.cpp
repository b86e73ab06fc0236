#include "tui/fake_backend.h"

#include "tui/keys.h"

namespace vm::tui {

void FakeBackend::PushKeys(std::string_view cp866Text) {
  for (unsigned char c : cp866Text) PushKey(c);
}

void FakeBackend::ResizeTo(int width, int height) {
  width_ = width;
  height_ = height;
  Push(Event(EventKind::Resize));
}

void FakeBackend::Present(const CellBuffer& buffer) {
  screen_ = buffer;
  ++presents;
}

Event FakeBackend::WaitEvent(int timeoutMs) {
  if (!events_.empty()) {
    Event event = events_.front();
    events_.pop_front();
    return event;
  }
  if (timeoutMs == 0) return Event(EventKind::Idle);
  // Out of script: Esc closes dialogs; should that not end the run, the command does.
  if (++exhausted_ > 20 && exhaustedCommand_ != 0) return Event::Command(exhaustedCommand_);
  return Event::Key(key::kEsc);
}

}  // namespace vm::tui
