// Menu boxes: the items as drawn, separators and disabled items passed over by the keys and
// refusing clicks, Home and End, and a click outside closing the box.
#include <gtest/gtest.h>

#include <vector>

#include "toolkit_fixture.h"

namespace vm::tui {
namespace {

using namespace test;

TEST_F(ToolkitTest, MenuBoxSkipsSeparatorsAndDisabledItems) {
  backend.PushKey(key::F(10));  // Файл lit
  backend.PushKey(key::kDown);  // its menu open on Открыть
  backend.PushKey(key::kDown);  // past the separator and the disabled item
  backend.PushKey(key::kEnter);
  app.Run();
  EXPECT_EQ(view.commands, (std::vector<int>{kQuitCommand}));
}

TEST_F(ToolkitTest, MenuBoxCellsWhileOpen) {
  backend.PushKey(key::Alt('A'));
  backend.PushSnapshot();
  backend.PushKey(key::kRight);  // the neighbour menu
  backend.PushSnapshot();
  backend.PushKey(key::kEsc);
  backend.PushSnapshot();
  backend.PushKey(key::Alt('X'));
  app.Run();
  ASSERT_EQ(backend.snapshots.size(), 3u);
  const CellBuffer& open = backend.snapshots[0];
  EXPECT_EQ(open.RowText(0, 0, 14), Cp866("  Файл  Bыбор "));
  EXPECT_EQ(open.At(1, 0).attr, palette[pal::kMenuSelected]);
  EXPECT_EQ(open.At(2, 0).attr, palette[pal::kMenuSelectedHot]);
  EXPECT_EQ(open.RowText(1, 1, 18), Cp866("┌────────────────┐"));
  EXPECT_EQ(open.RowText(2, 1, 18), Cp866("│ Открыть     F3 │"));
  EXPECT_EQ(open.RowText(3, 1, 18), Cp866("├────────────────┤"));
  EXPECT_EQ(open.RowText(4, 1, 18), Cp866("│ Недоступно     │"));
  EXPECT_EQ(open.RowText(5, 1, 18), Cp866("│ Выход    Alt+X │"));
  EXPECT_EQ(open.RowText(6, 1, 18), Cp866("└────────────────┘"));
  EXPECT_EQ(open.At(3, 2).attr, palette[pal::kMenuSelectedHot]);
  EXPECT_EQ(open.At(3, 4).attr, palette[pal::kMenuDisabled]);
  EXPECT_EQ(backend.snapshots[1].RowText(2, 7, 16), Cp866("│ Выбрать    + │"));
  EXPECT_EQ(backend.snapshots[2].At(1, 0).attr, palette[pal::kMenuNormal]);
  EXPECT_EQ(backend.snapshots[2].RowText(2, 1, 10), std::string(10, ' '));
}

TEST_F(ToolkitTest, ClicksChooseItemsAndAClickOutsideClosesTheBox) {
  Keys({key::Alt('A')});
  Click(5, 4);  // the disabled item: the box stays
  Click(5, 3);  // the separator: the box stays
  backend.PushSnapshot();
  Click(60, 15);  // outside: closed
  backend.PushSnapshot();
  Keys({key::Alt('A'), key::kEnd, key::kHome, key::kEnter});  // Открыть
  Keys({key::Alt('A'), key::kEnd, key::kEnter});              // Выход
  app.Run();
  EXPECT_EQ(view.commands, (std::vector<int>{kOpenCommand, kQuitCommand}));
  EXPECT_EQ(backend.snapshots.at(0).RowText(5, 1, 18), Cp866("│ Выход    Alt+X │"));
  EXPECT_EQ(backend.snapshots.at(1).RowText(5, 1, 18), std::string(18, ' '));
}

}  // namespace
}  // namespace vm::tui
