// The input line: typing replaces the selected text, the history walked with Up and Down, the
// length limit, editing keys, and a text longer than the line scrolled with arrows at its ends.
#include "tui/input_line.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "toolkit_fixture.h"
#include "tui/button.h"
#include "tui/dialog.h"

namespace vm::tui {
namespace {

using namespace test;

TEST_F(ToolkitTest, InputLineReplacesItsTextAndWalksItsHistory) {
  app.Histories().Add(1, "*.zip");
  app.Histories().Add(1, "*.txt");
  auto run = [&](std::string initial, std::vector<int> keys) {
    Dialog dialog(30, 7, "");
    auto& input = dialog.Add(std::make_unique<InputLine>(2, 2, 20, 12, &app.Histories(), 1));
    input.SetText(initial);
    dialog.Add(std::make_unique<Button>(2, 4, 10, "O~k~", cmd::kOk));
    dialog.SetDefaultCommand(cmd::kOk);
    for (int k : keys) backend.PushKey(k);
    const int end = app.Execute(dialog);
    return std::make_pair(end, input.Text());
  };
  EXPECT_EQ(run("*.*", {'a', '.', 'b', key::kEnter}), std::make_pair(cmd::kOk, std::string("a.b")));
  EXPECT_EQ(run("*.*", {key::kEnd, key::kBackspace, 'c', key::kEnter}).second, "*.c");
  EXPECT_EQ(run("", {key::kUp, key::kEnter}).second, "*.c") << "the latest entry first";
  EXPECT_EQ(run("", {key::kUp, key::kUp, key::kEnter}).second, "a.b");
  EXPECT_EQ(run("x", {'y', key::kEsc}).first, cmd::kCancel);
  EXPECT_EQ(app.Histories().Entries(1), (std::vector<std::string>{"*.zip", "*.txt", "*.c", "a.b"}))
      << "OK adds the text, an equal older entry moves to the end, Cancel adds nothing";
  EXPECT_EQ(run("", {'1', '2', '3', '4', '5', '6', '7', '8', '9', '0', 'a', 'b', 'c', key::kEnter})
                .second,
            "1234567890ab")
      << "at most the line's length";
}

TEST_F(ToolkitTest, EditingKeysAndTheTextScrolledWithinTheLine) {
  Dialog dialog(30, 7, "");
  auto& line = dialog.Add(std::make_unique<InputLine>(2, 2, 8, 20));
  auto& off = dialog.Add(std::make_unique<InputLine>(12, 2, 8, 20));
  off.disabled = true;
  line.SetText("abcdefghij");
  // The line's cells are columns 27 to 34 of row 11; six characters fit between the ends.
  backend.PushSnapshot();
  Keys({key::kHome});
  backend.PushSnapshot();
  Keys({key::kDel, key::kRight, key::kRight, key::kBackspace, 'X', key::kLeft, key::kTab});
  backend.PushSnapshot();
  Keys({key::kEsc});
  app.Execute(dialog);
  EXPECT_EQ(line.Text(), "bXdefghij");
  const CellBuffer& end = backend.snapshots.at(0);
  EXPECT_EQ(end.RowText(11, 27, 8), "\x11" + std::string("efghij "));
  EXPECT_EQ(end.At(28, 11).attr, palette[pal::kInputSelected]) << "the whole text selected";
  EXPECT_EQ(end.At(27, 11).attr, palette[pal::kInputArrow]);
  EXPECT_EQ(end.Cursor().x, 34);
  const CellBuffer& home = backend.snapshots.at(1);
  EXPECT_EQ(home.RowText(11, 27, 8), " abcdef\x10");
  EXPECT_EQ(home.At(28, 11).attr, palette[pal::kInputNormal]) << "Home ends the selection";
  EXPECT_EQ(home.At(37, 11).attr, palette[pal::kMenuDisabled]) << "the disabled line";
  const CellBuffer& edited = backend.snapshots.at(2);
  EXPECT_EQ(edited.Cursor().x, 29) << "Tab passes over the disabled line";
}

}  // namespace
}  // namespace vm::tui
