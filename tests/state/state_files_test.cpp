#include "state/state_files.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/fatal.h"
#include "state/add_queue_entry.h"
#include "state/state_fixture.h"
#include "support/child_process.h"
#include "text/cp866.h"

namespace vm {
namespace {

class StateFilesTest : public StateFixture {
 protected:
  QueueEntry& Queue(std::string path, int sentToday) {
    QueueEntryRequest r;
    r.path = std::move(path);
    r.areaId = "FC:\\MAIL";
    r.linesPerSection = 100;
    r.sentToday = sentToday;
    return *AddQueueEntry(state.queue, r, QueueContext{settings, console, {}});
  }

  RunState state;
};

TEST_F(StateFilesTest, NewDayRefillsEveryAreaAndClearsSentCounts) {
  int limited = AddArea("LIMITED", "FC:\\A", 10);
  int unlimited = AddArea("UNLIMITED", "FC:\\B", kUnlimited);
  int leftUnlimited = AddArea("WAS.UNLIMITED", "FC:\\C", 5);
  areas.At(limited).SectionsLeftToday = 3;
  areas.At(unlimited).SectionsLeftToday = 1;
  areas.At(leftUnlimited).SectionsLeftToday = kUnlimited;
  Queue("C:\\OUT\\A.ZIP", 4);

  RunState sameDay;
  sameDay.lastRun = today;
  sameDay.queue = state.queue;
  StartPostingDay(sameDay, areas, today);
  EXPECT_EQ(areas.At(limited).SectionsLeftToday, 3u) << "today's remainder stays";
  EXPECT_EQ(areas.At(unlimited).SectionsLeftToday, kUnlimited);
  EXPECT_EQ(areas.At(leftUnlimited).SectionsLeftToday, 5u);
  EXPECT_EQ(sameDay.queue.front().sentToday, 4);

  areas.At(leftUnlimited).SectionsLeftToday = 2;
  state.lastRun = {2024, 3, 14};
  StartPostingDay(state, areas, today);
  EXPECT_EQ(areas.At(limited).SectionsLeftToday, 10u);
  EXPECT_EQ(areas.At(leftUnlimited).SectionsLeftToday, 5u);
  EXPECT_EQ(state.queue.front().sentToday, 0);
  EXPECT_EQ(state.lastRun, today);
}

TEST_F(StateFilesTest, ARunsStateComesBackInTheNextRun) {
  int area = AddArea("RU.UUE", "FC:\\MAIL", 10, 30);
  state.lastRun = today;
  Queue("C:\\OUT\\A.ZIP", 4);
  state.defaults.toName = "Sysop";
  HistoryEntry decoded;
  decoded.fileName = "A.ZIP";
  decoded.areaName = "RU.UUE";
  decoded.decoded = today;
  AddHistoryEntry(state.history, decoded);
  StartPostingDay(state, areas, today);
  areas.At(area).SectionsLeftToday = 6;
  areas.At(area).ResumeMessage = 42;
  SaveStateFiles(state, areas, paths, today);

  RunState next;
  areas.At(area).SectionsLeftToday = 10;
  areas.At(area).ResumeMessage = 0;
  LoadStateFiles(next, areas, settings, paths, console, log, today);
  StartPostingDay(next, areas, today);
  EXPECT_EQ(next.defaults.toName, "Sysop");
  ASSERT_EQ(next.queue.size(), 1u);
  EXPECT_EQ(next.queue.front().sentToday, 4) << "same day: the count goes on";
  ASSERT_EQ(next.history.size(), 1u);
  EXPECT_EQ(areas.At(area).SectionsLeftToday, 6u);
  EXPECT_EQ(areas.At(area).ResumeMessage, 42u);

  RunState tomorrow;
  LoadStateFiles(tomorrow, areas, settings, paths, console, log, {2024, 3, 16});
  StartPostingDay(tomorrow, areas, {2024, 3, 16});
  EXPECT_EQ(tomorrow.queue.front().sentToday, 0);
  EXPECT_EQ(areas.At(area).SectionsLeftToday, 10u);
  EXPECT_TRUE(Log().empty());
}

TEST_F(StateFilesTest, FirstRunWritesAFreshQueueFileAndStartsANewDay) {
  int area = AddArea("RU.UUE", "FC:\\MAIL", 10);
  areas.At(area).SectionsLeftToday = 0;
  LoadStateFiles(state, areas, settings, paths, console, log, today);
  EXPECT_TRUE(dir.Exists("queue.lst"));
  EXPECT_FALSE(dir.Exists("areas.lst"));
  StartPostingDay(state, areas, today);
  EXPECT_EQ(areas.At(area).SectionsLeftToday, 10u);
  EXPECT_EQ(state.lastRun, today);
}

class InterruptedSaveTest : public StateFilesTest {
 protected:
  InterruptedSaveTest() {
    AddArea("RU.UUE", "FC:\\MAIL", 10, kUnlimited);
    Queue("C:\\OUT\\A.ZIP", 1);
    for (int i = 0; i < 3; ++i) AddHistory(i);
    SaveStateFiles(state, areas, paths, today);
    oldQueue = Read("queue.lst");
    oldDup = Read("veldmark.dup");
    oldAreas = Read("areas.lst");

    // The next run's state is larger than the file size limit of the child below allows
    // for the history file.
    Queue("C:\\OUT\\B.ZIP", 0);
    for (int i = 3; i < 600; ++i) AddHistory(i);
    areas.At(1).ResumeMessage = 99;
  }

  void AddHistory(int i) {
    HistoryEntry entry;
    entry.fileName = "F" + std::to_string(i) + ".ZIP";
    entry.areaName = "RU.UUE";
    entry.decoded = today;
    AddHistoryEntry(state.history, entry);
  }

  // Saves with writes beyond 8 KB refused by the system, in a child process.
  int SaveWithSmallFileLimit(bool killedBySignal) {
    return test::InChild([&] {
      signal(SIGXFSZ, killedBySignal ? SIG_DFL : SIG_IGN);
      rlimit limit{8192, 8192};
      setrlimit(RLIMIT_FSIZE, &limit);
      try {
        SaveStateFiles(state, areas, paths, today);
      } catch (const FatalStop& stop) {
        _exit(stop.Message() == Cp866("Не могу записать файл VELDMARK.DUP") ? 3 : 4);
      }
    });
  }

  void ExpectPreviousFilesWhole() {
    EXPECT_EQ(Read("veldmark.dup"), oldDup);
    EXPECT_EQ(Read("areas.lst"), oldAreas);
    RunState loaded;
    LoadStateFiles(loaded, areas, settings, paths, console, log, today);
    EXPECT_EQ(loaded.history.size(), 3u);
    EXPECT_EQ(areas.At(1).ResumeMessage, 0u);
    EXPECT_TRUE(Log().empty());
  }

  std::string oldQueue, oldDup, oldAreas;
};

TEST_F(InterruptedSaveTest, FailedWriteStopsAndLeavesThePreviousFileWhole) {
  int status = SaveWithSmallFileLimit(false);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3) << "stopped with the message for VELDMARK.DUP";
  EXPECT_NE(Read("queue.lst"), oldQueue) << "the queue file comes first and was written";
  ExpectPreviousFilesWhole();
}

TEST_F(InterruptedSaveTest, ProcessKilledWhileWritingLeavesThePreviousFileWhole) {
  int status = SaveWithSmallFileLimit(true);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
  ExpectPreviousFilesWhole();
}

}  // namespace
}  // namespace vm
