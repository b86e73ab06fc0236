// The screen as the views draw it: a grid of cells, each a CP866 byte and a text attribute
// (background in the high four bits, foreground in the low four, PC colour order).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tui/geometry.h"

namespace vm::tui {

struct Cell {
  unsigned char ch = ' ';
  uint8_t attr = 0x07;
  bool operator==(const Cell&) const = default;
};

class CellBuffer {
 public:
  CellBuffer() = default;
  CellBuffer(int width, int height) { Resize(width, height); }

  void Resize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Writes outside the buffer, or outside the clip rectangle, are dropped.
  void Put(int x, int y, unsigned char ch, uint8_t attr);
  void PutText(int x, int y, std::string_view text, uint8_t attr);
  // Text with "~" around hot letters: the marked characters get hotAttr. Returns the width.
  int PutHotText(int x, int y, std::string_view text, uint8_t attr, uint8_t hotAttr);
  void Fill(const Rect& area, unsigned char ch, uint8_t attr);

  // The clip rectangle: the whole buffer unless a group narrows it while its children draw.
  Rect Clip() const { return clip_; }
  // Sets the clip rectangle to the part of `area` inside the buffer.
  void SetClip(const Rect& area);

  const Cell& At(int x, int y) const { return cells_[static_cast<size_t>(y * width_ + x)]; }
  // The characters of one row (or a part of it) as CP866 text; for tests and snapshots.
  std::string RowText(int y, int x = 0, int width = -1) const;

  // Where the terminal's cursor stands; hidden when not set for this frame.
  void SetCursor(int x, int y) { cursor_ = Point{x, y}, cursorVisible_ = true; }
  void HideCursor() { cursorVisible_ = false; }
  bool CursorVisible() const { return cursorVisible_; }
  Point Cursor() const { return cursor_; }

 private:
  bool Visible(int x, int y) const;

  int width_ = 0;
  int height_ = 0;
  std::vector<Cell> cells_;
  Rect clip_;
  Point cursor_;
  bool cursorVisible_ = false;
};

// The width of a text with "~" marks once they are removed.
int HotTextWidth(std::string_view text);
// The first marked character, 0 when none.
unsigned char HotLetter(std::string_view text);

}  // namespace vm::tui
