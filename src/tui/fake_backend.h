// A backend without a terminal: events come from a script, the last presented buffer is kept
// for the tests to read cell by cell. When the script has run out it answers Esc, and after a
// few of those an end signal (SIGTERM), so that a test that forgot a key ends instead of
// hanging.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "tui/backend.h"

namespace vm::tui {

class FakeBackend : public Backend {
 public:
  FakeBackend(int width = 80, int height = 25) : width_(width), height_(height) {}

  void Push(const Event& event) { events_.push_back(event); }
  void PushKey(int key) { Push(Event::Key(key)); }
  // Each byte of the CP866 text as a key.
  void PushKeys(std::string_view cp866Text);
  void ResizeTo(int width, int height);
  // When the script reaches this point, the screen as last presented is kept in snapshots.
  void PushSnapshot() { Push(Event(kSnapshot)); }
  std::vector<CellBuffer> snapshots;
  // The events after this point are typed only once the program waits for input again: a
  // poll during a long operation (timeout 0) does not see them.
  void PushWait() { Push(Event(kWait)); }
  // When the script reaches this point, the action runs (a file changed behind the program).
  void PushAction(std::function<void()> action);
  size_t EventsLeft() const { return events_.size(); }

  const CellBuffer& Screen() const { return screen_; }
  std::string Row(int y) const { return screen_.RowText(y); }
  int presents = 0;
  int suspends = 0;
  int resumes = 0;
  std::string title;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void Present(const CellBuffer& buffer) override;
  Event WaitEvent(int timeoutMs) override;
  void Suspend() override { ++suspends; }
  void Resume() override { ++resumes; }
  void SetTitle(std::string_view cp866Title) override { title = cp866Title; }

 private:
  static constexpr EventKind kSnapshot = static_cast<EventKind>(-1);
  static constexpr EventKind kWait = static_cast<EventKind>(-2);
  static constexpr EventKind kAction = static_cast<EventKind>(-3);  // command: its index

  int width_;
  int height_;
  std::deque<Event> events_;
  std::vector<std::function<void()>> actions_;
  CellBuffer screen_;
  int exhausted_ = 0;
};

}  // namespace vm::tui
