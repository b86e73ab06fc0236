// The widgets of the posting dialogs against the fake backend: check boxes and radio buttons,
// disabled controls, the dialog's check before it closes, validators, the list box with its
// scroll bar and the text editor with its size limit.
#include <gtest/gtest.h>

#include <memory>

#include "text/cp866.h"
#include "tui/application.h"
#include "tui/button.h"
#include "tui/check_boxes.h"
#include "tui/dialog.h"
#include "tui/digits_validator.h"
#include "tui/editor_window.h"
#include "tui/fake_backend.h"
#include "tui/input_line.h"
#include "tui/keys.h"
#include "tui/list_box.h"
#include "tui/radio_buttons.h"
#include "tui/range_validator.h"

namespace vm::tui {
namespace {

struct WidgetsTest : ::testing::Test {
  WidgetsTest() : app(backend, palette) {}
  void Keys(std::initializer_list<int> keys) {
    for (int k : keys) backend.PushKey(k);
  }

  FakeBackend backend;
  Palette palette;
  Application app;
};

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

TEST_F(WidgetsTest, BeforeCloseKeepsTheDialogOpenAndValidatorsFilterTyping) {
  Dialog dialog(40, 8, "");
  auto& digits = dialog.Add(std::make_unique<InputLine>(2, 1, 20, 10));
  auto& number = dialog.Add(std::make_unique<InputLine>(2, 3, 20, 10));
  const DigitsValidator digitsOnly;
  const RangeValidator range(2, 1000);
  digits.SetValidator(&digitsOnly);
  number.SetValidator(&range);
  std::vector<int> asked;
  dialog.SetBeforeClose([&](int command) {
    asked.push_back(command);
    return command != cmd::kOk || !range.Check(number.Text());
  });
  dialog.SetDefaultCommand(cmd::kOk);
  Keys({'3', 'a', ' ', '7', '-', key::kTab, '1', 'x', key::kEnter, '0', key::kEnter});
  EXPECT_EQ(app.Execute(dialog), cmd::kOk);
  EXPECT_EQ(digits.Text(), "3 7");
  EXPECT_EQ(number.Text(), "10");
  EXPECT_EQ(asked, (std::vector<int>{cmd::kOk, cmd::kOk})) << "1 is refused, 10 accepted";

  struct Case {
    const char* text;
    bool accepted;
  };
  for (const Case& c : {Case{"2", true}, Case{"1000", true}, Case{"1", false}, Case{"1001", false},
                        Case{"", false}, Case{"99999999999999999999", false}})
    EXPECT_EQ(!range.Check(c.text), c.accepted) << c.text;
  EXPECT_EQ(*range.Check("0"), Cp866("Значение должно быть числом от 2 до 1000"));
}

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

TEST_F(WidgetsTest, TextEditorEditsLinesAndKeepsItsLimit) {
  EditorWindow window("", 20);
  TextEditor& editor = window.Editor();
  // "abc" Enter "de", back to the end of line 1, Del joins, Backspace at the start of a line
  // joins the other way.
  Keys({'a', 'b', 'c', key::kEnter, 'd', 'e', key::kUp, key::kEnd, key::kDel, key::kHome,
        key::kRight, key::kEnter, key::kBackspace});
  backend.PushSnapshot();
  Keys({key::kEsc});
  EXPECT_EQ(app.Execute(window), cmd::kOk);
  EXPECT_EQ(editor.Text(), "abcde");
  const CellBuffer& shot = backend.snapshots.at(0);
  EXPECT_EQ(shot.RowText(window.bounds.y + 1, window.bounds.x + 1, 6), "abcde ");
  EXPECT_EQ(shot.Cursor().x, window.bounds.x + 2);

  // 20 bytes with CR LF: 15 more characters fill it, a line break needs two and is refused,
  // Backspace makes room for one more character only.
  Keys({key::kEnd});
  for (int i = 0; i < 16; ++i) backend.PushKey('x');
  Keys({key::kEnter, key::kBackspace, key::kEnter, 'y', 'z', key::kEsc});
  app.Execute(window);
  EXPECT_EQ(editor.Size(), 20u);
  EXPECT_EQ(editor.Text(), std::string("abcde") + std::string(14, 'x') + "y");
}

}  // namespace
}  // namespace vm::tui
