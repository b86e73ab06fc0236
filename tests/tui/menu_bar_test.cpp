// The menu bar: Alt with a hot letter in either layout opens a menu, F10 lights the first item,
// the arrows move between the items, a click opens a menu; bound keys run enabled commands.
#include <gtest/gtest.h>

#include <vector>

#include "toolkit_fixture.h"

namespace vm::tui {
namespace {

using namespace test;

TEST_F(ToolkitTest, AltWithEitherLetterOpensTheMenuAndEnterRunsTheItem) {
  for (int altKey : {key::Alt(C("Ф")), key::Alt('A')}) {
    view.commands.clear();
    backend.PushKey(altKey);
    backend.PushKey(key::kEnter);
    backend.PushKey(key::Alt('X'));
    app.Run();
    EXPECT_EQ(view.commands, (std::vector<int>{kOpenCommand, kQuitCommand})) << altKey;
  }
}

TEST_F(ToolkitTest, BoundKeysRunOnlyEnabledCommands) {
  backend.PushKey(key::F(3));
  backend.PushKey(key::kGrayPlus);
  backend.Push(Event::Command(kDisabledCommand));
  backend.PushKey(key::Alt('X'));
  app.EnableCommand(kSelectCommand, false);
  app.Run();
  EXPECT_EQ(view.commands, (std::vector<int>{kOpenCommand, kQuitCommand}));
  EXPECT_EQ(view.keys, (std::vector<int>{key::kGrayPlus})) << "a disabled command's key goes on";
}

TEST_F(ToolkitTest, F10TheArrowsAndClicksReachTheItems) {
  Keys({key::F(10), key::kRight});
  backend.PushSnapshot();
  Keys({key::kEnter, key::kEnter});  // Выбор opened, Выбрать chosen
  Click(3, 0);                       // Файл opened
  Click(5, 5);                       // Выход
  app.Run();
  EXPECT_EQ(view.commands, (std::vector<int>{kSelectCommand, kQuitCommand}));
  const CellBuffer& lit = backend.snapshots.at(0);
  EXPECT_EQ(lit.At(8, 0).attr, palette[pal::kMenuSelectedHot]) << "Выбор lit, no menu open";
  EXPECT_EQ(lit.At(2, 0).attr, palette[pal::kMenuHot]);
  EXPECT_EQ(lit.RowText(2, 7, 10), std::string(10, ' '));
}

}  // namespace
}  // namespace vm::tui
