// The list box: the focus kept in view by the keys, the scroll bar drawn while the items do not
// fit, clicks on items and on the scroll bar's arrows, the wheel, and the focused item's colour
// while the box has no focus.
#include "tui/list_box.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit_fixture.h"
#include "tui/button.h"
#include "tui/dialog.h"

namespace vm::tui {
namespace {

using namespace test;

TEST_F(WidgetsTest, ListBoxKeepsTheFocusInViewAndDrawsItsScrollBarWhenNeeded) {
  Dialog dialog(30, 10, "");
  auto& list = dialog.Add(std::make_unique<ListBox>(2, 1, 12, 5));
  std::vector<std::string> items;
  for (int i = 1; i <= 12; ++i) items.push_back("item" + std::to_string(i));
  list.SetItems(items);
  Keys({key::kPgDn, key::kDown});
  backend.PushSnapshot();
  Keys({key::kEnd});
  backend.PushSnapshot();
  Keys({key::kPgUp, key::kUp, key::kEsc});
  app.Execute(dialog);
  const int x = dialog.bounds.x + 2, y = dialog.bounds.y + 1;
  const CellBuffer& middle = backend.snapshots.at(0);
  EXPECT_EQ(middle.RowText(y, x, 11), " item3     ") << "focus on item 7, the last row";
  EXPECT_EQ(middle.RowText(y + 4, x, 11), " item7     ");
  const CellBuffer& end = backend.snapshots.at(1);
  EXPECT_EQ(end.RowText(y + 4, x, 11), " item12    ");
  std::string bar;
  for (int row = 0; row < 5; ++row) bar += static_cast<char>(end.At(x + 11, y + row).ch);
  EXPECT_EQ(bar, "\x1E\xB0\xB0\xFE\x1F") << "the thumb at the end of the track";
  EXPECT_EQ(list.FocusedItem(), 5);
  EXPECT_EQ(list.TopItem(), 5);

  list.SetItems({"only"});
  EXPECT_EQ(list.FocusedItem(), 0) << "the focus follows a shorter list";
  CellBuffer fits(80, 25);
  dialog.Draw(fits, palette);
  for (int row = 0; row < 5; ++row)
    EXPECT_EQ(fits.At(x + 11, y + row).ch, ' ') << "no scroll bar while the items fit";
  list.SetItems({});
  EXPECT_EQ(list.FocusedItem(), -1);
}

TEST_F(WidgetsTest, ClicksTheWheelAndTheScrollBarMoveTheFocus) {
  Dialog dialog(30, 10, "");
  auto& list = dialog.Add(std::make_unique<ListBox>(2, 1, 12, 5));
  dialog.Add(std::make_unique<Button>(16, 1, 10, "O~k~", cmd::kOk));
  std::vector<std::string> items;
  for (int i = 1; i <= 12; ++i) items.push_back("item" + std::to_string(i));
  list.SetItems(items);
  // The dialog is centred at column 25, row 7: the list's rows 8 to 12 from column 27, its
  // scroll bar in column 38.
  const int x = 27, y = 8;
  struct Step {
    Point p;
    MouseAction action;
    int focused;
  };
  const Step steps[] = {
      {{x + 3, y + 2}, MouseAction::Press, 2},       {{x + 3, y}, MouseAction::WheelDown, 3},
      {{x + 11, y + 4}, MouseAction::Press, 4},      {{x + 11, y}, MouseAction::Press, 3},
      {{x + 3, y + 4}, MouseAction::DoubleClick, 4}, {{x + 3, y + 1}, MouseAction::WheelUp, 3},
  };
  for (const Step& step : steps) {
    Click(step.p.x, step.p.y, step.action);
    Keys({key::kEsc});
    app.Execute(dialog);
    EXPECT_EQ(list.FocusedItem(), step.focused) << step.p.x << "," << step.p.y;
  }
  // With the focus on the button the list still marks its item, in the menu's colour.
  Keys({key::kTab});
  backend.PushSnapshot();
  Keys({key::kEsc});
  app.Execute(dialog);
  const CellBuffer& s = backend.snapshots.at(0);
  EXPECT_EQ(s.RowText(y + 3, x, 7), " item4 ");
  EXPECT_EQ(s.At(x + 1, y + 3).attr, palette[pal::kMenuSelected]);
  EXPECT_EQ(s.At(x + 1, y + 2).attr, palette[pal::kInputNormal]);
}

}  // namespace
}  // namespace vm::tui
