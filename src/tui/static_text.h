// Fixed text in a dialog: lines placed one under another, each cut to the control's width.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tui/control.h"

namespace vm::tui {

class StaticText : public Control {
 public:
  StaticText(const Rect& area, std::vector<std::string> lines);
  void SetLines(std::vector<std::string> lines) { lines_ = std::move(lines); }

  void Draw(CellBuffer& out, const Palette& palette, Point origin, bool focused) override;

 private:
  std::vector<std::string> lines_;
};

// Breaks a text into lines of at most `width` characters at blanks (a longer word is cut);
// line breaks ("\n" or "\r\n") in the text are kept.
std::vector<std::string> WrapText(std::string_view text, int width);

}  // namespace vm::tui
