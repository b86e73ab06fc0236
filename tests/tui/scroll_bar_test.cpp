// Scroll bars: where the thumb stands for a value, the arrows and the track as drawn, and where
// a click lands, vertical and horizontal.
#include "tui/scroll_bar.h"

#include <gtest/gtest.h>

#include <string>

#include "toolkit_fixture.h"

namespace vm::tui {
namespace {

using namespace test;

std::string Column(const CellBuffer& out, int x, int top, int height) {
  std::string cells;
  for (int y = top; y < top + height; ++y) cells += static_cast<char>(out.At(x, y).ch);
  return cells;
}

TEST(ScrollBar, TheThumbStandsForTheValue) {
  struct Case {
    int value;
    int maximum;
    const char* cells;
  };
  const Case cases[] = {
      {0, 10, "\x1E\xFE\xB0\xB0\xB0\xB0\x1F"},  {5, 10, "\x1E\xB0\xB0\xFE\xB0\xB0\x1F"},
      {10, 10, "\x1E\xB0\xB0\xB0\xB0\xFE\x1F"}, {99, 10, "\x1E\xB0\xB0\xB0\xB0\xFE\x1F"},
      {-3, 10, "\x1E\xFE\xB0\xB0\xB0\xB0\x1F"}, {4, 0, "\x1E\xFE\xB0\xB0\xB0\xB0\x1F"},
  };
  for (const Case& c : cases) {
    CellBuffer out(3, 9);
    ScrollBar{Rect{1, 1, 1, 7}, c.value, c.maximum}.Draw(out, 0x71);
    EXPECT_EQ(Column(out, 1, 1, 7), c.cells) << c.value << " of " << c.maximum;
    EXPECT_EQ(out.At(1, 1).attr, 0x71);
    EXPECT_EQ(out.At(1, 0).ch, ' ') << "nothing outside the bar";
  }
  CellBuffer out(8, 1);
  ScrollBar{Rect{0, 0, 8, 1}, 3, 6}.Draw(out, 0x71);
  EXPECT_EQ(out.RowText(0), "\x11\xB0\xB0\xFE\xB0\xB0\xB0\x10") << "horizontal";
}

TEST(ScrollBar, WhereAClickLands) {
  const ScrollBar bar{Rect{5, 2, 1, 7}, 5, 10};  // the thumb on row 5
  struct Case {
    Point p;
    int hit;
  };
  for (const Case& c : {Case{{5, 2}, -1}, Case{{5, 3}, -1}, Case{{5, 5}, 0}, Case{{5, 6}, 1},
                        Case{{5, 8}, 1}, Case{{4, 5}, 0}, Case{{5, 9}, 0}})
    EXPECT_EQ(bar.Hit(c.p), c.hit) << c.p.x << "," << c.p.y;
  const ScrollBar across{Rect{0, 0, 8, 1}, 0, 6};
  EXPECT_EQ(across.Hit(Point{0, 0}), -1);
  EXPECT_EQ(across.Hit(Point{7, 0}), 1);
  EXPECT_EQ(across.Hit(Point{1, 0}), 0);
}

}  // namespace
}  // namespace vm::tui
