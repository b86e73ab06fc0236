// What the event loop hands to the views.
#pragma once

#include "tui/geometry.h"

namespace vm::tui {

enum class EventKind {
  None,
  Key,      // key: a code of keys.h
  Mouse,    // mouse: a press, a double click or a wheel turn at a cell
  Command,  // command: a number the application gives it
  Resize,   // the terminal changed its size
  Signal,   // signal: a break (SIGINT) or an end request (SIGHUP, SIGTERM) arrived
  Idle,     // nothing arrived for a while
};

enum class MouseAction { Press, DoubleClick, WheelUp, WheelDown };

struct MouseEvent {
  Point where;
  MouseAction action = MouseAction::Press;
};

struct Event {
  Event() = default;
  explicit Event(EventKind k) : kind(k) {}

  EventKind kind = EventKind::None;
  int key = 0;
  int command = 0;
  int signal = 0;
  MouseEvent mouse;

  static Event Key(int code) {
    Event e(EventKind::Key);
    e.key = code;
    return e;
  }
  static Event Command(int number) {
    Event e(EventKind::Command);
    e.command = number;
    return e;
  }
  static Event Mouse(Point where, MouseAction action) {
    Event e(EventKind::Mouse);
    e.mouse = MouseEvent{where, action};
    return e;
  }
  // Marks the event as handled.
  void Clear() { kind = EventKind::None; }
};

// The toolkit's own command numbers; the application's start at 100.
namespace cmd {
inline constexpr int kOk = 10;
inline constexpr int kCancel = 11;
inline constexpr int kYes = 12;
inline constexpr int kNo = 13;
// Ends the typing in an input window (the status line's Esc there).
inline constexpr int kEndInput = 400;
}  // namespace cmd

}  // namespace vm::tui
