// The main window as a group of its two panels on the fake backend: Tab and Shift+Tab move the
// focus between the panels, a click or the wheel focuses the panel under the pointer and moves
// its cursor, a click on the frame steps, and a double click enters a directory.
#include <gtest/gtest.h>

#include "shell_node.h"

namespace vm::shell {
namespace {

namespace key = tui::key;
using tui::Event;
using tui::MouseAction;
using tui::Point;

constexpr uint8_t kCursor = 0x30;

struct MainWindowTest : ::testing::Test, test::ShellNode {
  MainWindowTest() {
    dir.MakeDirectory("sub");
    dir.WriteFile("a.txt", "a");
    dir.WriteFile("b.txt", "b");
    for (const char* name : {"ONE", "TWO"}) {
      AreaEntry area;
      area.tag = area.displayName = name;
      area.areaId = "F" + dir / name;
      areas.Append(area);
    }
  }
  void Click(int x, int y, MouseAction action = MouseAction::Press) {
    backend.Push(Event::Mouse(Point{x, y}, action));
    backend.PushSnapshot();
  }
  // The row of each panel that shows its cursor, -1 when it shows none.
  static int CursorRow(const tui::CellBuffer& screen, int column) {
    for (int y = 2; y < 22; ++y)
      if (screen.At(column, y).attr == kCursor) return y;
    return -1;
  }
};

// Screen rows at 80 x 25: the directory list starts on row 3 (.., SUB, a.txt, b.txt), the
// area list on row 2 (ONE, TWO).
TEST_F(MainWindowTest, FocusAndClicksMoveBetweenThePanels) {
  backend.PushKey(key::kTab);
  backend.PushSnapshot();
  backend.PushKey(key::kBackTab);
  backend.PushSnapshot();
  Click(5, 6);   // b.txt
  Click(45, 3);  // TWO
  backend.Push(Event::Mouse(Point{5, 10}, MouseAction::WheelUp));
  backend.PushSnapshot();
  Click(5, 1);                            // the top frame: one up
  Click(5, 4, MouseAction::DoubleClick);  // SUB
  PushQuit();
  RunShell();

  ASSERT_EQ(backend.snapshots.size(), 7u);
  const auto rows = [&](size_t shot) {
    const tui::CellBuffer& screen = backend.snapshots[shot];
    return std::pair{CursorRow(screen, 1), CursorRow(screen, 41)};
  };
  EXPECT_EQ(rows(0), (std::pair{-1, 2})) << "Tab: the area panel";
  EXPECT_EQ(rows(1), (std::pair{3, -1})) << "Shift+Tab: the directory panel";
  EXPECT_EQ(rows(2), (std::pair{6, -1})) << "a click on b.txt";
  EXPECT_EQ(Shown(backend.snapshots[2], 22, 0, 10), "║b.txt    ");
  EXPECT_EQ(rows(3), (std::pair{-1, 3})) << "a click on TWO";
  EXPECT_EQ(rows(4), (std::pair{5, -1})) << "the wheel over the directory panel";
  EXPECT_EQ(rows(5), (std::pair{4, -1})) << "a click on the frame";
  const tui::CellBuffer& entered = backend.snapshots[6];
  EXPECT_EQ(Shown(entered, 3, 1, 4), "..  ");
  EXPECT_EQ(Shown(entered, 4, 1, 12), std::string(12, ' ')) << "the empty directory sub";
  EXPECT_EQ(CursorRow(entered, 1), 3);
}

}  // namespace
}  // namespace vm::shell
