// A label: one line of text before a control; its hot letter moves the focus to that control.
#pragma once

#include <string>

#include "tui/control.h"

namespace vm::tui {

class Label : public Control {
 public:
  Label(int x, int y, std::string text, Control* link = nullptr);

  void Draw(CellBuffer& out, const Palette& palette, Point origin, bool focused) override;
  unsigned char Hot() const override { return link_ != nullptr ? HotLetter(text_) : 0; }
  void Activate() override;

 private:
  std::string text_;
  Control* link_;
};

}  // namespace vm::tui
