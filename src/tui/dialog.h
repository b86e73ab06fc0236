// A modal dialog: a framed window centred on the desktop holding controls. Tab and Shift+Tab
// move the focus, Enter presses the focused button (else the default one), Esc cancels.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tui/group.h"

namespace vm::tui {

class Dialog : public Group {
 public:
  Dialog(int width, int height, std::string title);

  // The button pressed by Enter when the focus is not on a button.
  void SetDefaultCommand(int command) { defaultCommand_ = command; }
  // Ends the dialog; OK and Yes commit the controls first.
  void Close(int command) override;
  // Asked before the dialog ends with a command (a button, Enter, Esc): false keeps it open,
  // so that a check can refuse OK or a button can act without closing the dialog.
  void SetBeforeClose(std::function<bool(int command)> check) { beforeClose_ = std::move(check); }

  void Draw(CellBuffer& out, const Palette& palette) override;
  void HandleEvent(Event& event) override;
  void Layout(const Rect& desktop) override;

 private:
  std::string title_;
  int defaultCommand_ = 0;
  std::function<bool(int)> beforeClose_;
};

}  // namespace vm::tui
