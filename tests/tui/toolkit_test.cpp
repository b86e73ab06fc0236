// The toolkit against the fake backend: hot letters in both keyboard layouts, message boxes,
// the menu bar, input lines with histories, resizes, suspension and the end signals.
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <vector>

#include "text/cp866.h"
#include "tui/application.h"
#include "tui/button.h"
#include "tui/dialog.h"
#include "tui/editor_window.h"
#include "tui/fake_backend.h"
#include "tui/help_window.h"
#include "tui/input_line.h"
#include "tui/keys.h"
#include "tui/message_box.h"
#include "tui/progress_window.h"
#include "tui/static_text.h"

namespace vm::tui {
namespace {

constexpr int kQuitCommand = 100;
constexpr int kOpenCommand = 101;
constexpr int kDisabledCommand = 102;
// A help context the application gives its own windows.
constexpr int kAppContext = 10;

std::string FieldPadTo(std::string text, size_t width) {
  text.resize(width, ' ');
  return text;
}

unsigned char C(const char* utf8Letter) { return static_cast<unsigned char>(Cp866(utf8Letter)[0]); }

// Records what reaches the desktop; the quit command ends the run.
class RecordingView : public View {
 public:
  explicit RecordingView(Application& app) : app_(app) {}
  void Draw(CellBuffer& out, const Palette& palette) override {
    out.Fill(bounds, ' ', palette[pal::kDesktop]);
  }
  void HandleEvent(Event& event) override {
    if (event.kind == EventKind::Command) {
      commands.push_back(event.command);
      if (event.command == kQuitCommand) app_.Quit();
    } else if (event.kind == EventKind::Key) {
      keys.push_back(event.key);
    }
    event.Clear();
  }
  void Layout(const Rect& desktop) override { bounds = desktop; }

  std::vector<int> commands;
  std::vector<int> keys;

 private:
  Application& app_;
};

struct ToolkitTest : ::testing::Test {
  ToolkitTest() : app(backend, palette), view(app) {
    MenuBarItem file;
    file.text = Cp866("~Ф~айл");
    file.items = {MenuItem{Cp866("~О~ткрыть"), "F3", key::F(3), kOpenCommand},
                  MenuItem::Separator(), MenuItem{Cp866("~Н~едоступно"), "", 0, kDisabledCommand},
                  MenuItem{Cp866("~В~ыход"), "Alt+X", key::Alt('X'), kQuitCommand}};
    MenuBarItem select;
    select.text = Cp866("~B~ыбор");
    select.items = {MenuItem{Cp866("~В~ыбрать"), "+", key::kGrayPlus, 103}};
    app.Menu().SetItems({file, select});
    app.Status().SetItems({{Cp866("~F3~ Открыть"), key::F(3), kOpenCommand}});
    app.SetMainView(&view);
    app.EnableCommand(kDisabledCommand, false);
  }

  FakeBackend backend;
  Palette palette;
  Application app;
  RecordingView view;
};

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

TEST_F(ToolkitTest, BoundKeysRunOnlyEnabledCommands) {
  backend.PushKey(key::F(3));
  backend.PushKey(key::kGrayPlus);
  backend.Push(Event::Command(kDisabledCommand));
  backend.PushKey(key::Alt('X'));
  app.EnableCommand(103, false);
  app.Run();
  EXPECT_EQ(view.commands, (std::vector<int>{kOpenCommand, kQuitCommand}));
  EXPECT_EQ(view.keys, (std::vector<int>{key::kGrayPlus})) << "a disabled command's key goes on";
}

TEST_F(ToolkitTest, ClickOnTheStatusLineRunsItsCommand) {
  backend.Push(Event::Mouse(Point{2, 24}, MouseAction::Press));
  backend.PushKey(key::Alt('X'));
  app.Run();
  EXPECT_EQ(view.commands, (std::vector<int>{kOpenCommand, kQuitCommand}));
  EXPECT_EQ(backend.Row(24).substr(0, 12), Cp866(" F3 Открыть "));
  EXPECT_EQ(backend.Screen().At(1, 24).attr, palette[pal::kStatusHot]);
}

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

TEST_F(ToolkitTest, BelowTheSmallestSizeOneLineAsksForMore) {
  backend.ResizeTo(60, 20);
  backend.PushSnapshot();
  backend.PushKey(key::F(3));  // ignored while too small
  backend.ResizeTo(132, 43);
  backend.PushSnapshot();
  backend.PushKey(key::Alt('X'));
  app.Run();
  EXPECT_EQ(view.commands, (std::vector<int>{kQuitCommand}));
  ASSERT_EQ(backend.snapshots.size(), 2u);
  EXPECT_EQ(backend.snapshots[0].RowText(0),
            FieldPadTo(Cp866("Увеличьте окно терминала до 80 x 25"), 60));
  EXPECT_EQ(backend.snapshots[1].Height(), 43);
  EXPECT_EQ(backend.snapshots[1].RowText(0, 0, 6), Cp866("  Файл"));
  EXPECT_EQ(backend.snapshots[1].RowText(42, 0, 11), Cp866(" F3 Открыть"));
}

TEST_F(ToolkitTest, TooSmallScreenText) {
  backend.ResizeTo(60, 20);
  backend.Push(Event(EventKind::Idle));
  app.NextEvent(0);
  EXPECT_EQ(backend.Screen().Width(), 60);
  EXPECT_EQ(backend.Row(0).substr(0, 35), Cp866("Увеличьте окно терминала до 80 x 25"));
}

TEST_F(ToolkitTest, SuspendGivesTheTerminalAwayAndRedrawsAfter) {
  int ran = 0;
  const int presents = backend.presents;
  app.RunSuspended([&] {
    ++ran;
    EXPECT_EQ(backend.suspends, 1);
    EXPECT_EQ(backend.resumes, 0);
  });
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(backend.resumes, 1);
  EXPECT_GT(backend.presents, presents);
}

TEST_F(ToolkitTest, CtrlZRunsTheStopWithTheTerminalGivenBack) {
  int stops = 0;
  app.SetStopHandler([&] {
    ++stops;
    EXPECT_EQ(backend.suspends, 1);
    EXPECT_EQ(backend.resumes, 0);
  });
  backend.PushKey(key::kCtrlZ);
  backend.PushKey(key::Alt('X'));
  app.Run();
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(backend.resumes, 1);
  EXPECT_TRUE(view.keys.empty());
}

TEST_F(ToolkitTest, EndSignalClosesDialogsAndEndsTheRun) {
  Event term(EventKind::Signal);
  term.signal = SIGTERM;
  backend.Push(term);
  EXPECT_EQ(MessageBox(app, "x", MessageKind::Confirmation, MessageButtons::YesNo), cmd::kNo);
  EXPECT_TRUE(app.Terminating());
  app.Run();  // returns at once
  EXPECT_TRUE(view.commands.empty());
}

TEST_F(ToolkitTest, BreakAsksThroughTheHandler) {
  int breaks = 0;
  app.SetBreakHandler([&] {
    ++breaks;
    app.Quit();
  });
  Event interrupt(EventKind::Signal);
  interrupt.signal = SIGINT;
  backend.Push(interrupt);
  app.Run();
  backend.PushKey(key::kCtrlC);
  app.Run();
  EXPECT_EQ(breaks, 2);
}

TEST_F(ToolkitTest, ProgressWindowTakesAKeyAsAnAbortRequest) {
  ProgressWindow progress(app, "Test", 4);
  progress.Step();
  EXPECT_FALSE(progress.AbortRequested());
  backend.PushKey(' ');
  progress.Step();
  EXPECT_TRUE(progress.AbortRequested());
  EXPECT_FALSE(progress.AbortRequested()) << "the request is taken once";
  progress.Step(2);
  const CellBuffer& s = backend.Screen();
  EXPECT_EQ(s.RowText(8, 15, 50), "\xC9" + std::string(15, '\xCD') + " Veldmark - Test " +
                                      std::string(16, '\xCD') + "\xBB");
  EXPECT_EQ(s.RowText(10, 15, 50), Cp866("║              Пожалуйста подождите              ║"));
  EXPECT_EQ(s.RowText(12, 18, 44), std::string(44, '\xDB')) << "all steps done: the bar is full";
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

TEST(WrapText, BreaksAtBlanksAndKeepsLineBreaks) {
  EXPECT_EQ(WrapText("one two three", 7), (std::vector<std::string>{"one two", "three"}));
  EXPECT_EQ(WrapText("abcdefghij", 4), (std::vector<std::string>{"abcd", "efgh", "ij"}));
  EXPECT_EQ(WrapText("a\r\nb", 10), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(WrapText("", 10), (std::vector<std::string>{""}));
}

}  // namespace
}  // namespace vm::tui
