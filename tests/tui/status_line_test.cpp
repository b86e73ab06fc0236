// The status line: a click on a key runs its command, the keys and the hint follow the help
// context of the top view (F1 there asks for that context's help), a key of a modal view acts
// as its button, and a disabled command's key is dimmed and does nothing.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "toolkit_fixture.h"
#include "tui/button.h"
#include "tui/dialog.h"
#include "tui/editor_window.h"
#include "tui/help_window.h"
#include "tui/message_box.h"

namespace vm::tui {
namespace {

using namespace test;

TEST_F(ToolkitTest, ClickOnTheStatusLineRunsItsCommand) {
  backend.Push(Event::Mouse(Point{2, 24}, MouseAction::Press));
  backend.PushKey(key::Alt('X'));
  app.Run();
  EXPECT_EQ(view.commands, (std::vector<int>{kOpenCommand, kQuitCommand}));
  EXPECT_EQ(backend.Row(24).substr(0, 12), Cp866(" F3 Открыть "));
  EXPECT_EQ(backend.Screen().At(1, 24).attr, palette[pal::kStatusHot]);
}

TEST_F(ToolkitTest, TheStatusLineFollowsTheHelpContextOfTheTopView) {
  constexpr int kHelp = 9;
  std::vector<int> asked;
  app.SetHelp(kHelp, [&](int context) { asked.push_back(context); });
  app.Status().SetRanges(
      {{hc::kNoContext,
        hc::kNoContext,
        {{Cp866("~F3~ Открыть"), key::F(3), kOpenCommand}, {"", key::F(1), kHelp}}},
       {hc::kInput,
        hc::kInput,
        {{"~F1~", key::F(1), kHelp}, {"~Esc~ End", key::kEsc, cmd::kEndInput}}},
       {kAppContext, 999, {{"~F1~ Help", key::F(1), kHelp}}}});
  app.Status().SetHints(
      [](int context) { return context == kAppContext ? std::string("menu") : std::string(); });
  backend.PushKey(key::F(1));  // the main view: context 0
  backend.PushKey(key::Alt('X'));
  app.Run();
  EXPECT_EQ(backend.Row(24).substr(0, 11), Cp866(" F3 Открыть"));

  // An input window: F1 asks for help there, a click on "Esc End" ends the typing.
  EditorWindow editor("", 20);
  backend.PushKey(key::F(1));
  backend.PushSnapshot();
  backend.Push(Event::Mouse(Point{7, 24}, MouseAction::Press));
  EXPECT_EQ(app.Execute(editor), cmd::kOk);
  ASSERT_EQ(backend.snapshots.size(), 1u);
  EXPECT_EQ(backend.snapshots[0].RowText(24, 0, 14), " F1  Esc End  ");

  // A dialog has no keys unless told its context.
  Dialog dialog(30, 7, "");
  backend.PushKey(key::F(1));
  backend.PushSnapshot();
  backend.PushKey(key::kEsc);
  app.Execute(dialog);
  dialog.helpContext = kAppContext;
  backend.PushKey(key::F(1));
  backend.PushSnapshot();
  backend.PushKey(key::kEsc);
  app.Execute(dialog);
  ASSERT_EQ(backend.snapshots.size(), 3u);
  EXPECT_EQ(backend.snapshots[1].RowText(24), std::string(80, ' '));
  EXPECT_EQ(backend.snapshots[2].RowText(24, 0, 19), " F1 Help \xB3 menu    ");
  EXPECT_EQ(asked, (std::vector<int>{hc::kNoContext, hc::kInput, kAppContext}));
}

// Message boxes and the help window have help contexts of their own, so F1 works in them; a
// status line key in a dialog acts as the button with its command.
TEST_F(ToolkitTest, MessageBoxesAndTheHelpWindowHaveTheirHelp) {
  constexpr int kHelp = 9;
  constexpr int kButton = 120;
  std::vector<int> asked;
  app.SetHelp(kHelp, [&](int context) { asked.push_back(context); });
  app.Status().SetRanges(
      {{kAppContext,
        0xFFFF,
        {{"~F1~ Help", key::F(1), kHelp}, {"~Del~ Remove", key::kDel, kButton}}}});
  backend.PushKey(key::F(1));
  backend.PushKey(key::kEsc);
  EXPECT_FALSE(AskYes(app, "?"));
  HelpFile help;
  HelpWindow window(help, 0);
  backend.PushKey(key::F(1));
  backend.PushKey(key::kEsc);
  app.Execute(window);
  EXPECT_EQ(asked, (std::vector<int>{hc::kMessageBox, hc::kHelpWindow}));

  Dialog dialog(30, 7, "");
  dialog.helpContext = kAppContext;
  dialog.Add(std::make_unique<Button>(2, 2, 12, "~R~emove", kButton));
  backend.PushKey(key::kDel);
  EXPECT_EQ(app.Execute(dialog), kButton);
}

TEST_F(ToolkitTest, ADisabledCommandsKeyIsDimmedAndDoesNothing) {
  app.Status().SetItems({{Cp866("~F3~ Открыть"), key::F(3), kOpenCommand},
                         {"~F4~ Off", key::F(4), kDisabledCommand}});
  Keys({key::F(4)});
  Click(13, 24);
  Keys({key::Alt('X')});
  app.Run();
  EXPECT_EQ(view.commands, (std::vector<int>{kQuitCommand}));
  EXPECT_EQ(backend.Row(24).substr(0, 19), Cp866(" F3 Открыть  F4 Off"));
  EXPECT_EQ(backend.Screen().At(13, 24).attr, palette[pal::kStatusDisabled]);
  EXPECT_EQ(view.keys, (std::vector<int>{key::F(4)})) << "the key goes on to the desktop";
}

}  // namespace
}  // namespace vm::tui
