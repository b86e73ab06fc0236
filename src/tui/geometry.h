// Points and rectangles in screen cells.
#pragma once

namespace vm::tui {

struct Point {
  int x = 0;
  int y = 0;
};

// Columns x .. x + width - 1, rows y .. y + height - 1.
struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  bool Contains(Point p) const {
    return p.x >= x && p.x < x + width && p.y >= y && p.y < y + height;
  }
  int Right() const { return x + width - 1; }
  int Bottom() const { return y + height - 1; }
};

// The cells both rectangles cover (empty when they do not meet).
inline Rect Intersection(const Rect& a, const Rect& b) {
  const int left = a.x > b.x ? a.x : b.x;
  const int top = a.y > b.y ? a.y : b.y;
  const int right = a.x + a.width < b.x + b.width ? a.x + a.width : b.x + b.width;
  const int bottom = a.y + a.height < b.y + b.height ? a.y + a.height : b.y + b.height;
  if (right <= left || bottom <= top) return Rect{left, top, 0, 0};
  return Rect{left, top, right - left, bottom - top};
}

// A rectangle of the given size centred in the area.
inline Rect Centred(const Rect& area, int width, int height) {
  return Rect{area.x + (area.width - width) / 2, area.y + (area.height - height) / 2, width,
              height};
}

}  // namespace vm::tui
