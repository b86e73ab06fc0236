#include "tui/cell_buffer.h"

#include <algorithm>

namespace vm::tui {

void CellBuffer::Resize(int width, int height) {
  width_ = width > 0 ? width : 0;
  height_ = height > 0 ? height : 0;
  cells_.assign(static_cast<size_t>(width_ * height_), Cell{});
  clip_ = Rect{0, 0, width_, height_};
}

void CellBuffer::SetClip(const Rect& area) {
  clip_ = Intersection(area, Rect{0, 0, width_, height_});
}

bool CellBuffer::Visible(int x, int y) const { return clip_.Contains(Point{x, y}); }

void CellBuffer::Put(int x, int y, unsigned char ch, uint8_t attr) {
  if (Visible(x, y)) cells_[static_cast<size_t>(y * width_ + x)] = Cell{ch, attr};
}

void CellBuffer::PutText(int x, int y, std::string_view text, uint8_t attr) {
  for (unsigned char c : text) Put(x++, y, c, attr);
}

int CellBuffer::PutHotText(int x, int y, std::string_view text, uint8_t attr, uint8_t hotAttr) {
  bool hot = false;
  int width = 0;
  for (unsigned char c : text) {
    if (c == '~') {
      hot = !hot;
      continue;
    }
    Put(x + width++, y, c, hot ? hotAttr : attr);
  }
  return width;
}

void CellBuffer::Fill(const Rect& area, unsigned char ch, uint8_t attr) {
  for (int y = area.y; y <= area.Bottom(); ++y)
    for (int x = area.x; x <= area.Right(); ++x) Put(x, y, ch, attr);
}

std::string CellBuffer::RowText(int y, int x, int width) const {
  std::string text;
  if (y < 0 || y >= height_) return text;
  const int end = width < 0 ? width_ : std::min(width_, x + width);
  for (int i = std::max(0, x); i < end; ++i) text.push_back(static_cast<char>(At(i, y).ch));
  return text;
}

int HotTextWidth(std::string_view text) {
  int width = 0;
  for (char c : text)
    if (c != '~') ++width;
  return width;
}

unsigned char HotLetter(std::string_view text) {
  const size_t at = text.find('~');
  return at != std::string_view::npos && at + 1 < text.size()
             ? static_cast<unsigned char>(text[at + 1])
             : 0;
}

}  // namespace vm::tui
