// Views: rectangles of the screen that draw themselves into the cell buffer and handle the
// events given to them. A modal view runs in its own event loop until it ends with a command.
#pragma once

#include "tui/cell_buffer.h"
#include "tui/event.h"
#include "tui/palette.h"

namespace vm::tui {

// Help contexts of the toolkit's own views; the application numbers the others.
namespace hc {
inline constexpr int kNoContext = 0;
inline constexpr int kInput = 1000;       // a window where text is typed
inline constexpr int kMessageBox = 1001;  // a message box or a question
inline constexpr int kHelpWindow = 1002;  // the help window itself
inline constexpr int kNoKeys = 2000;      // windows without help (the progress window)
}  // namespace hc

class View {
 public:
  virtual ~View() = default;
  virtual void Draw(CellBuffer& out, const Palette& palette) = 0;
  // Handles the event and clears it, or leaves it for others.
  virtual void HandleEvent(Event& event) {}
  // The desktop (the screen between the menu bar and the status line) changed its size.
  virtual void Layout(const Rect& desktop) {}
  // The help context of what the user looks at in the view now (the status line and the help
  // window follow it).
  virtual int HelpContext() const { return helpContext; }

  Rect bounds;
  int helpContext = hc::kNoContext;
};

class ModalView : public View {
 public:
  void EndModal(int command) { endCommand_ = command; }
  bool Ended() const { return endCommand_ != 0; }
  int EndCommand() const { return endCommand_; }
  void Restart() { endCommand_ = 0; }

 private:
  int endCommand_ = 0;
};

}  // namespace vm::tui
