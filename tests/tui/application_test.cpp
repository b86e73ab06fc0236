// The application: the smallest screen, resizes, giving the terminal to a child process and to
// the job control's stop, the end signals and the break.
#include <gtest/gtest.h>

#include <csignal>
#include <vector>

#include "toolkit_fixture.h"
#include "tui/message_box.h"

namespace vm::tui {
namespace {

using namespace test;

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

}  // namespace
}  // namespace vm::tui
