// The terminal backend on ncursesw: the cells go out as the characters the DOS console font
// showed for their CP866 bytes, in the palette's PC colours; keys, the mouse, resizes and the
// break and end signals come back as events. The terminal is restored on every way out: when
// the backend is destroyed, and from the crash report.
#pragma once

#include <memory>
#include <string>

#include "tui/backend.h"

namespace vm::tui {

class CursesBackend : public Backend {
 public:
  // Whether stdin and stdout are both a terminal (the shell refuses to start otherwise).
  static bool TerminalAttached();
  // Takes the terminal; nullptr when curses cannot drive it (an unknown TERM).
  static std::unique_ptr<CursesBackend> Open();
  ~CursesBackend() override;
  CursesBackend(const CursesBackend&) = delete;
  CursesBackend& operator=(const CursesBackend&) = delete;

  int Width() const override;
  int Height() const override;
  void Present(const CellBuffer& buffer) override;
  Event WaitEvent(int timeoutMs) override;
  void Suspend() override;
  void Resume() override;
  void SetTitle(std::string_view cp866Title) override;

 private:
  struct State;
  explicit CursesBackend(std::unique_ptr<State> state);
  Event Translate(int result, unsigned int ch);

  std::unique_ptr<State> s_;
};

}  // namespace vm::tui
