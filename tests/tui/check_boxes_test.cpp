// Check boxes and radio buttons side by side in a dialog: Tab order past a disabled control,
// Space and the arrows inside the clusters, clicks, and what a disabled cluster ignores; the
// markers of check boxes as bits of the value.
#include "tui/check_boxes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit_fixture.h"
#include "tui/button.h"
#include "tui/dialog.h"
#include "tui/input_line.h"
#include "tui/radio_buttons.h"

namespace vm::tui {
namespace {

using namespace test;

TEST_F(WidgetsTest, ClustersTabOrderAndDisabledControls) {
  Dialog dialog(40, 12, "");
  auto& first = dialog.Add(std::make_unique<InputLine>(2, 1, 10, 8));
  auto& skipped = dialog.Add(std::make_unique<InputLine>(14, 1, 10, 8));
  auto& boxes =
      dialog.Add(std::make_unique<CheckBoxes>(2, 3, 20, std::vector<std::string>{"a", "b", "c"}));
  auto& radio = dialog.Add(
      std::make_unique<RadioButtons>(22, 3, 16, std::vector<std::string>{"x", "y", "z"}));
  dialog.Add(std::make_unique<Button>(2, 8, 10, "O~k~", cmd::kOk));
  dialog.SetDefaultCommand(cmd::kOk);
  skipped.disabled = true;
  int changes = 0;
  radio.SetOnChange([&] { ++changes; });
  // Tab skips the disabled line; Space and Down work inside the clusters; Up at the top stays.
  Keys({key::kTab, ' ', key::kDown, key::kDown, ' ', key::kUp, key::kTab, key::kDown, key::kDown,
        key::kDown});
  backend.PushSnapshot();
  Keys({key::kEnter});
  EXPECT_EQ(app.Execute(dialog), cmd::kOk);
  EXPECT_EQ(boxes.Value(), 0b101u);
  EXPECT_EQ(boxes.FocusedItem(), 1);
  EXPECT_EQ(radio.Value(), 2) << "moving in radio buttons chooses";
  EXPECT_EQ(changes, 2);
  const CellBuffer& shot = backend.snapshots.at(0);
  const int x = dialog.bounds.x, y = dialog.bounds.y;
  EXPECT_EQ(shot.RowText(y + 3, x + 3, 8), "[X] a   ");
  EXPECT_EQ(shot.RowText(y + 4, x + 3, 8), "[ ] b   ");
  EXPECT_EQ(shot.RowText(y + 5, x + 23, 3), "(\x07)");
  EXPECT_EQ(shot.Cursor().x, x + 24) << "on the chosen radio button";
  EXPECT_EQ(shot.Cursor().y, y + 5);
  (void)first;

  // A click presses the item under it; a disabled cluster ignores clicks.
  backend.Push(Event::Mouse(Point{x + 4, y + 4}, MouseAction::Press));
  radio.disabled = true;
  backend.Push(Event::Mouse(Point{x + 24, y + 3}, MouseAction::Press));
  Keys({key::kEsc});
  app.Execute(dialog);
  EXPECT_EQ(boxes.Value(), 0b111u);
  EXPECT_EQ(radio.Value(), 2);
}

TEST_F(WidgetsTest, EachItemIsOneBitOfTheValue) {
  Dialog dialog(40, 8, "");
  auto& boxes =
      dialog.Add(std::make_unique<CheckBoxes>(2, 2, 20, std::vector<std::string>{"a", "b", "c"}));
  boxes.SetValue(0b110);
  backend.PushSnapshot();
  Keys({key::kDown, ' ', key::kEsc});
  app.Execute(dialog);
  const CellBuffer& s = backend.snapshots.at(0);
  const int x = dialog.bounds.x + 3, y = dialog.bounds.y + 2;
  EXPECT_EQ(s.RowText(y, x, 5), "[ ] a");
  EXPECT_EQ(s.RowText(y + 1, x, 5), "[X] b");
  EXPECT_EQ(s.RowText(y + 2, x, 5), "[X] c");
  EXPECT_EQ(s.At(x, y).attr, palette[pal::kDialogTitle]) << "the focused item is lit";
  EXPECT_EQ(s.At(x, y + 1).attr, palette[pal::kDialogText]);
  EXPECT_EQ(boxes.Value(), 0b100u) << "Space cleared b";
  EXPECT_FALSE(boxes.Checked(1));
  EXPECT_TRUE(boxes.Checked(2));
}

}  // namespace
}  // namespace vm::tui
