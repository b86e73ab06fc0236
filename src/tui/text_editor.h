// A text editor of a limited size: lines of CP866 text, a cursor moved by the arrows, Home,
// End, PgUp and PgDn, typing inserts, Enter breaks the line, Backspace and Del delete (and
// join lines), a vertical scroll bar on the right edge and a horizontal one on the bottom
// edge. The text counts CR LF between lines; typing that would make it longer than the limit
// is refused.
#pragma once

#include <string>
#include <vector>

#include "tui/control.h"

namespace vm::tui {

class TextEditor : public Control {
 public:
  TextEditor(const Rect& area, size_t limit);

  void Draw(CellBuffer& out, const Palette& palette, Point origin, bool focused) override;
  bool Focusable() const override { return true; }
  void HandleEvent(Event& event) override;
  bool TakesCharacters() const override { return true; }

  // The lines joined by CR LF.
  std::string Text() const;
  size_t Size() const;
  Point CursorPosition() const { return Point{column_, row_}; }

 private:
  int TextWidth() const { return local.width - 1; }
  int TextHeight() const { return local.height - 1; }
  std::string& Line() { return lines_[static_cast<size_t>(row_)]; }
  int LineLength(int row) const {
    return static_cast<int>(lines_[static_cast<size_t>(row)].size());
  }
  void Type(unsigned char c);
  void BreakLine();
  void DeleteBefore();
  void DeleteAt();
  void MoveTo(int row, int column);
  void ScrollToCursor();

  size_t limit_;
  std::vector<std::string> lines_{std::string()};
  int row_ = 0;
  int column_ = 0;
  int top_ = 0;
  int left_ = 0;
};

}  // namespace vm::tui
