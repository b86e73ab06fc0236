// The one place where the cell buffer meets a terminal. The curses backend drives the real
// terminal; the fake backend of the tests feeds scripted events and keeps the cells.
#pragma once

#include <string_view>

#include "tui/cell_buffer.h"
#include "tui/event.h"

namespace vm::tui {

class Backend {
 public:
  virtual ~Backend() = default;
  // The terminal's size in cells.
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Shows the buffer: only the cells that changed since the last call (all after Resume).
  virtual void Present(const CellBuffer& buffer) = 0;
  // The next event, waiting at most timeoutMs (0: only what is already there); Idle when
  // the time ran out.
  virtual Event WaitEvent(int timeoutMs) = 0;
  // Gives the terminal back to the ordinary console (a child process runs) and takes it again.
  virtual void Suspend() = 0;
  virtual void Resume() = 0;
  virtual void SetTitle(std::string_view cp866Title) = 0;
};

}  // namespace vm::tui
