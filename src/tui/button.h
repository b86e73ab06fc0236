// A push button: "~O~k" in the button colours with a shadow; pressing it ends the dialog with
// its command. Enter or Space on the focused button presses it.
#pragma once

#include <string>

#include "tui/control.h"

namespace vm::tui {

class Button : public Control {
 public:
  // The button takes `width` columns (shadow included) and two rows.
  Button(int x, int y, int width, std::string text, int command);

  void Draw(CellBuffer& out, const Palette& palette, Point origin, bool focused) override;
  bool Focusable() const override { return true; }
  void HandleEvent(Event& event) override;
  unsigned char Hot() const override { return HotLetter(text_); }
  void Activate() override;
  int Command() const { return command_; }

 private:
  std::string text_;
  int command_;
};

}  // namespace vm::tui
