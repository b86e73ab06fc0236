// Radio buttons: one chosen item, chosen by moving onto it, by Space or by a click; the marker
// of the chosen item and the change notice.
#include "tui/radio_buttons.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit_fixture.h"
#include "tui/dialog.h"

namespace vm::tui {
namespace {

using namespace test;

TEST_F(WidgetsTest, MovingClickingAndSpaceChooseOneItem) {
  Dialog dialog(40, 10, "");
  auto& radio = dialog.Add(
      std::make_unique<RadioButtons>(2, 2, 20, std::vector<std::string>{"one", "two", "three"}));
  int changes = 0;
  radio.SetOnChange([&] { ++changes; });
  // The dialog is centred at column 20, row 7: the items on rows 9 to 11 from column 22.
  const int x = 22, y = 9;
  struct Case {
    std::vector<int> keys;
    int clickRow;  // an item clicked after the keys, -1 for none
    int value;
  };
  const std::vector<Case> cases = {
      {{key::kUp}, -1, 0},  // nothing above the first
      {{key::kDown, key::kDown}, -1, 2},
      {{key::kDown}, -1, 2},  // nothing below the last
      {{}, 1, 1},
      {{key::kUp, ' '}, -1, 0},
      {{}, 5, 0},  // below the items
  };
  for (const Case& c : cases) {
    for (int k : c.keys) backend.PushKey(k);
    if (c.clickRow >= 0) Click(x + 6, y + c.clickRow);
    backend.PushSnapshot();
    Keys({key::kEsc});
    app.Execute(dialog);
    EXPECT_EQ(radio.Value(), c.value) << c.keys.size() << " keys, row " << c.clickRow;
  }
  EXPECT_EQ(changes, 4);
  const CellBuffer& s = backend.snapshots.back();
  EXPECT_EQ(s.RowText(y, x + 1, 9), "(\x07) one  ");
  EXPECT_EQ(s.RowText(y + 1, x + 1, 9), "( ) two  ");
}

}  // namespace
}  // namespace vm::tui
