// Buttons in a dialog: Enter or Space on the focused button, its hot letter and a click press
// it and end the dialog with its command; the face, the hot letter and the shadow as drawn.
#include "tui/button.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "toolkit_fixture.h"
#include "tui/dialog.h"
#include "tui/input_line.h"

namespace vm::tui {
namespace {

using namespace test;

constexpr int kApply = 120;
constexpr int kBack = 121;

// The dialog at column 20, row 8: Apply at (22, 10), Back at (36, 10), a line under them.
struct ButtonTest : WidgetsTest {
  ButtonTest() : dialog(40, 8, "") {
    apply = &dialog.Add(std::make_unique<Button>(2, 2, 12, "~A~pply", kApply));
    dialog.Add(std::make_unique<Button>(16, 2, 12, "~B~ack", kBack));
    line = &dialog.Add(std::make_unique<InputLine>(2, 5, 20, 10));
  }
  Dialog dialog;
  Button* apply = nullptr;
  InputLine* line = nullptr;
};

TEST_F(ButtonTest, KeysHotLettersAndClicksPressTheButton) {
  struct Case {
    std::vector<int> keys;
    Point click;  // pressed after the keys when x > 0
    int ends;
  };
  const std::vector<Case> cases = {
      {{key::kEnter}, {}, kApply},
      {{' '}, {}, kApply},
      {{key::kTab, ' '}, {}, kBack},
      {{'b'}, {}, kBack},
      {{key::Alt('B')}, {}, kBack},
      {{}, {37, 10}, kBack},
      {{}, {33, 10}, kApply},  // the shadow beside the face belongs to the button
      {{key::kBackTab, 'b', key::Alt('A')}, {}, kApply},  // in the line, b is typed
  };
  for (const Case& c : cases) {
    dialog.Focus(*apply);
    for (int k : c.keys) backend.PushKey(k);
    if (c.click.x > 0) Click(c.click.x, c.click.y);
    EXPECT_EQ(app.Execute(dialog), c.ends) << c.keys.size() << " keys, click " << c.click.x;
  }
  EXPECT_EQ(line->Text(), "b");
}

TEST_F(ButtonTest, TheFaceTheHotLetterAndTheShadow) {
  backend.PushSnapshot();
  Keys({key::kEsc});
  app.Execute(dialog);
  const CellBuffer& s = backend.snapshots.at(0);
  EXPECT_EQ(s.RowText(10, 22, 12), "   Apply   \xDC");
  EXPECT_EQ(s.RowText(11, 22, 12), " " + std::string(11, '\xDF'));
  EXPECT_EQ(s.At(25, 10).attr, palette[pal::kButtonHot]);
  EXPECT_EQ(s.At(26, 10).attr, palette[pal::kButtonFocused]);
  EXPECT_EQ(s.At(40, 10).attr, palette[pal::kButtonNormal]) << "Back has no focus";
  EXPECT_EQ(s.At(33, 10).attr, palette[pal::kButtonShadow]);
  EXPECT_EQ(s.Cursor().x, 25);
  EXPECT_EQ(s.Cursor().y, 10);
}

}  // namespace
}  // namespace vm::tui
