// Message boxes: the answers by keys in both layouts, the box as drawn, error boxes in the error
// colours, and the text wrapped to the box.
#include "tui/message_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit_fixture.h"
#include "tui/static_text.h"

namespace vm::tui {
namespace {

using namespace test;

TEST_F(ToolkitTest, MessageBoxAnswers) {
  struct Case {
    std::vector<int> keys;
    int answer;
  };
  const std::vector<Case> cases = {
      {{key::kEnter}, cmd::kYes}, {{key::kTab, key::kEnter}, cmd::kNo},
      {{key::kEsc}, cmd::kNo},    {{key::Alt(C("Н"))}, cmd::kNo},
      {{'y'}, cmd::kNo},  // Y lies on the Н key of the Russian layout
      {{C("д")}, cmd::kYes},
  };
  for (const Case& c : cases) {
    for (int k : c.keys) backend.PushKey(k);
    EXPECT_EQ(MessageBox(app, Cp866("Вы уверены что хотите выйти?"), MessageKind::Confirmation,
                         MessageButtons::YesNo),
              c.answer);
  }
  backend.PushKey(key::kEnter);
  EXPECT_EQ(MessageBox(app, "x", MessageKind::Error, MessageButtons::OkCancel), cmd::kOk);
}

// An error box is drawn in the error colours, frame and text; other boxes in the dialog colours.
TEST_F(ToolkitTest, ErrorBoxesAreInTheErrorColours) {
  palette.Set(pal::kErrorText, 0x4E);  // told apart from the error frame
  for (const MessageKind kind : {MessageKind::Error, MessageKind::Information}) {
    backend.PushSnapshot();
    backend.PushKey(key::kEnter);
    MessageBox(app, "Disk full", kind, MessageButtons::Ok);
    const CellBuffer& s = backend.snapshots.back();
    const bool error = kind == MessageKind::Error;
    // The box is 44 x 7 at column 18, row 9; its text at row 11, its button at row 13.
    EXPECT_EQ(s.RowText(11, 21, 9), "Disk full");
    EXPECT_EQ(s.At(21, 11).attr, palette[error ? pal::kErrorText : pal::kDialogText]);
    EXPECT_EQ(s.At(18, 11).attr, palette[error ? pal::kErrorFrame : pal::kDialogFrame]);
    EXPECT_EQ(s.At(35, 13).attr, palette[pal::kButtonFocused]) << "buttons stay buttons";
  }
}

TEST_F(ToolkitTest, MessageBoxLayout) {
  // The box as it is drawn: centred, its title, the text, the two buttons with shadows.
  app.SetAfterEvent({});
  backend.PushKey(key::kEnter);
  int answer = 0;
  // Capture the screen while the box is up: the fake answers Enter after one drawing.
  answer = MessageBox(app, Cp866("Удаление файлов. Вы уверены что хотите продолжить?"),
                      MessageKind::Confirmation, MessageButtons::YesNo);
  EXPECT_EQ(answer, cmd::kYes);
  // The last screen before the answer was taken still showed the box.
  const CellBuffer& s = backend.Screen();
  EXPECT_EQ(s.RowText(8, 18, 44), Cp866("╔═════════════ Подтверждение ══════════════╗"));
  EXPECT_EQ(s.RowText(10, 18, 44), Cp866("║  Удаление файлов. Вы уверены что хотите  ║"));
  EXPECT_EQ(s.RowText(11, 18, 44), Cp866("║  продолжить?                             ║"));
  EXPECT_EQ(s.RowText(13, 18, 44), Cp866("║            Да     ▄      Нет    ▄        ║"));
  EXPECT_EQ(s.At(31, 13).attr, palette[pal::kButtonHot]);
  EXPECT_EQ(s.At(32, 13).attr, palette[pal::kButtonFocused]);
  EXPECT_EQ(s.At(44, 13).attr, palette[pal::kButtonNormal]);
  EXPECT_EQ(s.At(31, 13).ch, C("Д"));
}

TEST(WrapText, BreaksAtBlanksAndKeepsLineBreaks) {
  EXPECT_EQ(WrapText("one two three", 7), (std::vector<std::string>{"one two", "three"}));
  EXPECT_EQ(WrapText("abcdefghij", 4), (std::vector<std::string>{"abcd", "efgh", "ij"}));
  EXPECT_EQ(WrapText("a\r\nb", 10), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(WrapText("", 10), (std::vector<std::string>{""}));
}

}  // namespace
}  // namespace vm::tui
