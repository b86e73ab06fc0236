// Dialogs: hot letters in both keyboard layouts, Esc, Enter and the default button, Tab and
// Shift+Tab, labels that pass the focus on, clicks, the check before the dialog closes, and
// validators that filter typing.
#include "tui/dialog.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit_fixture.h"
#include "tui/button.h"
#include "tui/digits_validator.h"
#include "tui/input_line.h"
#include "tui/label.h"
#include "tui/range_validator.h"

namespace vm::tui {
namespace {

using namespace test;

TEST(HotLetters, AnswerInBothKeyboardLayouts) {
  struct Case {
    int key;
    unsigned char hot;
    bool alt;
  };
  const Case cases[] = {
      {key::Alt(C("Ф")), C("Ф"), true},   // as typed in the Russian layout
      {key::Alt('A'), C("Ф"), true},      // the Latin letter on the same key
      {key::Alt(C("Ы")), C("Ф"), false},  // another key
      {key::Alt('B'), 'B', true},         // a Latin hot letter that looks Cyrillic
      {key::Alt(C("И")), 'B', true},      // the Russian letter on the B key
      {key::Alt(C("В")), 'B', false},     // looks the same, lies on D
      {C("ф"), C("Ф"), false},            // no Alt
      {key::kCtrl | 'A', C("Ф"), false},
  };
  for (const Case& c : cases) EXPECT_EQ(key::IsAltHotLetter(c.key, c.hot), c.alt) << c.key;
  EXPECT_TRUE(key::IsPlainHotLetter(C("ф"), C("Ф")));
  EXPECT_TRUE(key::IsPlainHotLetter('a', C("Ф")));
  EXPECT_FALSE(key::IsPlainHotLetter('s', C("Ф")));
  EXPECT_TRUE(key::SameKey(key::Alt(C("Ч")), key::Alt('X'))) << "a bound Alt+X in either layout";
  EXPECT_FALSE(key::SameKey(key::Alt(C("Ч")), key::Alt('D')));
  EXPECT_FALSE(key::SameKey(key::F(3), key::Alt('X')));
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

// A dialog at column 20, row 8: a label "Name" on row 9 for the line on row 10, OK and Cancel
// on row 12.
struct DialogTest : WidgetsTest {
  DialogTest() : dialog(40, 8, "Title") {
    first = &dialog.Add(std::make_unique<InputLine>(2, 2, 20, 10));
    second = &dialog.Add(std::make_unique<InputLine>(24, 2, 12, 10));
    dialog.Add(std::make_unique<Label>(24, 1, "~N~ame", second));
    dialog.Add(std::make_unique<Button>(2, 4, 12, "O~k~", cmd::kOk));
    dialog.Add(std::make_unique<Button>(16, 4, 12, "~C~ancel", cmd::kCancel));
    dialog.SetDefaultCommand(cmd::kOk);
  }
  Dialog dialog;
  InputLine* first = nullptr;
  InputLine* second = nullptr;
};

TEST_F(DialogTest, KeysAndClicksEndItOrMoveTheFocus) {
  struct Case {
    std::vector<int> keys;
    int ends;
    const char* firstText;
    const char* secondText;
  };
  const std::vector<Case> cases = {
      {{key::kEsc}, cmd::kCancel, "", ""},
      {{'c', key::kEnter}, cmd::kOk, "c", ""},  // the line takes c; Enter: the default
      {{key::kTab, key::kTab, key::kTab, key::kEnter}, cmd::kCancel, "", ""},
      {{key::kBackTab, key::kEnter}, cmd::kCancel, "", ""},
      {{key::Alt('C')}, cmd::kCancel, "", ""},
      {{key::Alt('N'), 'x', key::kEnter}, cmd::kOk, "", "x"},  // the label's hot letter
  };
  for (const Case& c : cases) {
    first->SetText("");
    second->SetText("");
    dialog.Focus(*first);
    for (int k : c.keys) backend.PushKey(k);
    EXPECT_EQ(app.Execute(dialog), c.ends) << c.keys.size() << " keys";
    EXPECT_EQ(first->Text(), c.firstText);
    EXPECT_EQ(second->Text(), c.secondText);
  }

  // A click on the label focuses its line; a click on nothing changes nothing.
  dialog.Focus(*first);
  Click(44, 9);
  Keys({'y'});
  Click(58, 13);
  Keys({'z'});
  Click(38, 12);  // Cancel
  EXPECT_EQ(app.Execute(dialog), cmd::kCancel);
  EXPECT_EQ(second->Text(), "xyz");
  EXPECT_EQ(first->Text(), "") << "y and z went to the second line";
}

TEST_F(DialogTest, ItsFrameAndTitle) {
  backend.PushSnapshot();
  Keys({key::kEsc});
  app.Execute(dialog);
  const CellBuffer& s = backend.snapshots.at(0);
  EXPECT_EQ(s.RowText(8, 20, 40),
            "\xC9" + std::string(15, '\xCD') + " Title " + std::string(16, '\xCD') + "\xBB");
  EXPECT_EQ(s.RowText(15, 20, 40), "\xC8" + std::string(38, '\xCD') + "\xBC");
  EXPECT_EQ(s.At(20, 8).attr, palette[pal::kDialogFrame]);
  EXPECT_EQ(s.RowText(9, 44, 4), "Name");
  EXPECT_EQ(s.At(44, 9).attr, palette[pal::kLabelHot]);
  EXPECT_EQ(s.At(45, 9).attr, palette[pal::kDialogText]);
}

}  // namespace
}  // namespace vm::tui
