// The editor window: typing, line breaks and joins within the size limit, clicks that put the
// cursor, the wheel, and the ways the window ends (Esc, the close mark, the status line's Esc).
#include <gtest/gtest.h>

#include "toolkit_fixture.h"
#include "tui/editor_window.h"

namespace vm::tui {
namespace {

using namespace test;

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

TEST_F(WidgetsTest, ClicksPutTheCursorAndTheCloseMarkEndsTheWindow) {
  EditorWindow window(Cp866("Текст"), 100);
  TextEditor& editor = window.Editor();
  // The window fills the desktop: its text starts at column 1, row 2.
  Keys({'h', 'e', 'l', 'l', 'o', key::kEnter, 'w', 'o', 'r', 'l', 'd'});
  Click(3, 2);  // between "he" and "llo"
  Keys({'X'});
  Click(30, 3);  // past the end of "world"
  Keys({'!'});
  Click(5, 10, MouseAction::WheelUp);  // up a line, the column kept where it can
  Keys({'^'});
  backend.PushSnapshot();
  Click(3, 1);  // the close mark
  EXPECT_EQ(app.Execute(window), cmd::kOk);
  EXPECT_EQ(editor.Text(), "heXllo^\r\nworld!");
  const CellBuffer& s = backend.snapshots.at(0);
  EXPECT_EQ(s.RowText(1, 2, 3), "[\xFE]");
  EXPECT_EQ(s.RowText(2, 1, 8), "heXllo^ ");
  EXPECT_EQ(s.At(1, 2).attr, palette[pal::kWindowText]);
  EXPECT_EQ(s.At(0, 1).attr, palette[pal::kWindowFrame]);

  backend.Push(Event::Command(cmd::kEndInput));
  EXPECT_EQ(app.Execute(window), cmd::kOk) << "the status line's Esc";
}

}  // namespace
}  // namespace vm::tui
