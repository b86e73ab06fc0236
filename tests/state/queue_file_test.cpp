#include "state/queue_file.h"

#include "platform/fatal.h"
#include "state/state_fixture.h"
#include "text/cp866.h"

namespace vm {
namespace {

class QueueFileTest : public StateFixture {
 protected:
  QueueContext Context() { return QueueContext{settings, console, {}}; }

  QueueEntryRequest Request(std::string path) {
    QueueEntryRequest r;
    r.path = std::move(path);
    r.areaId = "SC:\\FIDO\\SQ\\RU.UUE";
    r.fromName = "Ivan Petrov";
    r.toName = "All";
    r.origText = "2:5020/9999";
    r.destText = "2:5020/100.7";
    r.offset = 10800;
    r.fileSum = 54321;
    r.flags = kEncodeUu | kDeleteAfterSending;
    r.sentToday = 2;
    r.templatePath = "C:\\VELDMARK\\VELDMARK.TPL";
    r.linesPerSection = 120;
    r.postedName = "FILE.ZIP";
    r.subject = "Some file";
    return r;
  }

  RunState state;
};

TEST_F(QueueFileTest, RoundTripKeepsDefaultsHistoriesAndEntries) {
  state.lastRun = {1999, 11, 2};
  state.defaults = {"Ivan Petrov", "Sysop", "2:5020/9999", "", kEncodeMime | kPrivate, "C:\\FILES"};
  state.nameHistory = {"All", "Sysop"};
  state.addressHistory = {"2:5020/100"};
  AddQueueEntry(state.queue, Request("C:\\OUT\\FILE.ZIP"), Context());
  QueueEntryRequest second = Request("C:\\OUT\\OTHER.ARJ");
  second.subject = "";
  second.flags = kSingleSection | kEncodeXx;
  AddQueueEntry(state.queue, second, Context());

  WriteQueueFile(paths, state);
  const std::string text = Read("queue.lst");
  EXPECT_EQ(text, CrLf({"Veldmark queue file version 8", "1999 11 2", "Ivan Petrov", "Sysop",
                        "2:5020/9999", "", "16400", "C:\\FILES", "", "2", "All", "Sysop", "1",
                        "2:5020/100", "",
                        // first entry
                        "120 2", "10800", "54321", "C:\\OUT\\FILE.ZIP", "SC:\\FIDO\\SQ\\RU.UUE",
                        "Ivan Petrov", "All", "5", "2:5020/9999", "2:5020/100.7",
                        "C:\\VELDMARK\\VELDMARK.TPL", "FILE.ZIP", "Some file", "",
                        // second entry
                        "120 2", "10800", "54321", "C:\\OUT\\OTHER.ARJ", "SC:\\FIDO\\SQ\\RU.UUE",
                        "Ivan Petrov", "All", "9216", "2:5020/9999", "2:5020/100.7",
                        "C:\\VELDMARK\\VELDMARK.TPL", "FILE.ZIP", "", ""}));

  RunState loaded;
  ReadQueueFile(paths, loaded, Context(), log);
  EXPECT_EQ(loaded.lastRun, state.lastRun);
  EXPECT_EQ(loaded.defaults.fromName, "Ivan Petrov");
  EXPECT_EQ(loaded.defaults.toAddress, "");
  EXPECT_EQ(loaded.defaults.flags, kEncodeMime | kPrivate);
  EXPECT_EQ(loaded.defaults.panelDirectory, "C:\\FILES");
  EXPECT_EQ(loaded.nameHistory, state.nameHistory);
  EXPECT_EQ(loaded.addressHistory, state.addressHistory);
  ASSERT_EQ(loaded.queue.size(), 2u);
  const QueueEntry& e = loaded.queue.front();
  EXPECT_EQ(e.path, "C:\\OUT\\FILE.ZIP");
  EXPECT_EQ(e.offset, 10800);
  EXPECT_EQ(e.fileSum, 54321u);
  EXPECT_EQ(e.sentToday, 2);
  EXPECT_EQ(e.allowedToday, 0) << "the allowance is not stored";
  EXPECT_EQ(e.linesPerSection, 120);
  EXPECT_EQ(e.destAddress, (NetAddress{2, 5020, 100, 7}));
  EXPECT_EQ(e.subject, "Some file");
  EXPECT_EQ(loaded.queue.back().subject, "") << "an empty subject stays empty";
  EXPECT_EQ(loaded.queue.back().flags, kSingleSection | kEncodeXx);
  WriteQueueFile(paths, loaded);
  EXPECT_EQ(Read("queue.lst"), text);
}

TEST_F(QueueFileTest, SmallestFileLoadsAnEmptyQueueAndDropsTheOneRunFlags) {
  Write("queue.lst", CrLf({"Veldmark queue file version 8", "2024 3 14", "Me", "All", "2:5020/9999",
                           "", "135172", "C:\\", "", "0", "0", ""}));
  ReadQueueFile(paths, state, Context(), log);
  EXPECT_TRUE(state.queue.empty());
  EXPECT_EQ(state.defaults.flags, 4100u);
  EXPECT_EQ(state.lastRun, (CalendarDate{2024, 3, 14}));
  EXPECT_TRUE(Log().empty());
}

TEST_F(QueueFileTest, MissingOrForeignFileIsReplacedByAFreshOne) {
  const std::string fresh = CrLf(
      {"Veldmark queue file version 8", "0 0 0", "", "All", "", "", "4", "", "", "0", "0", ""});
  ReadQueueFile(paths, state, Context(), log);
  EXPECT_EQ(Read("queue.lst"), fresh);

  Write("queue.lst", CrLf({"Veldmark queue file version 7", "2024 3 14"}));
  RunState other;
  ReadQueueFile(paths, other, Context(), log);
  EXPECT_EQ(Read("queue.lst"), fresh);
  EXPECT_EQ(other.lastRun, (CalendarDate{}));
}

TEST_F(QueueFileTest, DamagedEntriesAreDroppedAndTheRestIsRead) {
  state.defaults.flags = kEncodeXx;
  for (const char* name : {"C:\\OUT\\ONE.ZIP", "C:\\OUT\\TWO.ZIP", "C:\\OUT\\THREE.ZIP"})
    AddQueueEntry(state.queue, Request(name), Context());
  WriteQueueFile(paths, state);
  std::vector<std::string> lines = SplitStateLines(Read("queue.lst"));
  // 12 lines before the entries, then 14 per entry: damage the date and the second entry's
  // offset, and cut the last entry short.
  lines[1] = "2024 x 1";
  lines[12 + 14 + 1] = "-5";
  lines.resize(12 + 28 + 6);
  std::string damaged;
  for (const std::string& line : lines) damaged += line + "\r\n";
  Write("queue.lst", damaged);

  RunState loaded;
  ReadQueueFile(paths, loaded, Context(), log);
  ASSERT_EQ(loaded.queue.size(), 1u);
  EXPECT_EQ(loaded.queue.front().path, "C:\\OUT\\ONE.ZIP");
  EXPECT_EQ(loaded.lastRun, (CalendarDate{})) << "an unreadable date starts a new day";
  EXPECT_EQ(loaded.defaults.flags, kEncodeXx);
  EXPECT_NE(Log().find("QUEUE.LST"), std::string::npos);
}

TEST_F(QueueFileTest, GarbageAfterTheHeaderNeverStopsTheLoad) {
  std::string garbage = "Veldmark queue file version 8\r\n";
  for (int i = 0; i < 4000; ++i) garbage += static_cast<char>((i * 7919) % 256);
  Write("queue.lst", garbage);
  ReadQueueFile(paths, state, Context(), log);
  EXPECT_TRUE(state.queue.empty());

  // A history count far beyond the file: the entries that follow are still found.
  RunState source;
  AddQueueEntry(source.queue, Request("C:\\OUT\\ONE.ZIP"), Context());
  WriteQueueFile(paths, source);
  std::vector<std::string> lines = SplitStateLines(Read("queue.lst"));
  lines[9] = "2147483647";
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  Write("queue.lst", text);
  RunState loaded;
  ReadQueueFile(paths, loaded, Context(), log);
  ASSERT_EQ(loaded.queue.size(), 1u);
  EXPECT_TRUE(loaded.nameHistory.empty());
}

TEST_F(QueueFileTest, LineBreaksInsideTextsCannotShiftTheRecords) {
  AddQueueEntry(state.queue, Request("C:\\OUT\\ONE.ZIP"), Context());
  state.queue.front().subject = "two\r\nlines";
  state.defaults.fromName = "a\nb";
  WriteQueueFile(paths, state);
  RunState loaded;
  ReadQueueFile(paths, loaded, Context(), log);
  ASSERT_EQ(loaded.queue.size(), 1u);
  EXPECT_EQ(loaded.queue.front().subject, "two  lines");
  EXPECT_EQ(loaded.defaults.fromName, "a b");
}

TEST_F(QueueFileTest, UnwritableFileStopsWithTheFilesName) {
  dir.MakeDirectory("queue.lst");  // a directory cannot be replaced by a file
  try {
    WriteQueueFile(paths, state);
    FAIL() << "no stop";
  } catch (const FatalStop& stop) {
    EXPECT_EQ(stop.Message(), Cp866("Не могу записать файл QUEUE.LST"));
  }
}

// After every save, the queue read back is the latest one, whatever its length: a short queue
// rewritten in place (nothing but blanks after its text), a long one replaced when more than
// its progress changed and continued by QUEUE.POS while only the progress changes.
TEST_F(QueueFileTest, ProgressSavesAlwaysLeaveTheWholeLatestQueue) {
  WriteQueueFile(paths, state);
  QueueProgressFile progress(paths);
  AddQueueEntry(state.queue, Request("C:\\OUT\\FILE.ZIP"), Context());
  const auto readBack = [&] {
    RunState read;
    ReadQueueFile(paths, read, Context(), log);
    return FormatQueue(read);
  };
  for (int step = 0; step < 40; ++step) {
    if (step == 10) state.queue.pop_front();  // shorter
    if (step == 20) {                         // beyond a page
      for (int i = 0; i < 30; ++i)
        AddQueueEntry(state.queue, Request("C:\\OUT\\F" + std::to_string(i)), Context());
    }
    if (step == 25) state.queue.back().flags |= kPrivate;  // more than progress
    if (step == 30) state.queue.resize(1);                 // back within a page
    if (!state.queue.empty()) state.queue.front().offset += 54000;
    if (step % 3 == 0 && state.queue.size() > 1) state.queue.back().sentToday += 1;
    ASSERT_TRUE(progress.Save(state));
    ASSERT_EQ(readBack(), FormatQueue(state)) << "step " << step;
    const std::string text = Read("queue.lst"), queue = FormatQueue(state);
    if (step < 20 || step >= 30) {
      ASSERT_EQ(text.substr(0, queue.size()), queue) << "step " << step;
      ASSERT_EQ(text.find_first_not_of(' ', queue.size()), std::string::npos) << "step " << step;
    }
  }
}

// A long queue is written whole once, then only its progress goes out, to QUEUE.POS (the
// entries that moved: it stays small for a queue of hundreds); a change of more than progress
// writes it whole again and QUEUE.POS goes.
TEST_F(QueueFileTest, ALongQueuesProgressGoesToTheRecordAlone) {
  for (int i = 0; i < 300; ++i)
    AddQueueEntry(state.queue, Request("C:\\OUT\\F" + std::to_string(i)), Context());
  QueueProgressFile progress(paths);
  ASSERT_TRUE(progress.Save(state));
  const std::string whole = Read("queue.lst");
  EXPECT_FALSE(dir.Exists("queue.pos"));
  for (int section = 0; section < 5; ++section) {
    state.queue.front().offset += 5400;
    state.queue.front().fileSum = 1000 + section;
    ASSERT_TRUE(progress.Save(state));
  }
  EXPECT_EQ(Read("queue.lst"), whole);
  EXPECT_LT(Read("queue.pos").size(), 100u);
  RunState read;
  ReadQueueFile(paths, read, Context(), log);
  EXPECT_EQ(FormatQueue(read), FormatQueue(state));

  state.queue.pop_front();
  ASSERT_TRUE(progress.Save(state));
  EXPECT_EQ(Read("queue.lst"), FormatQueue(state));
  EXPECT_FALSE(dir.Exists("queue.pos"));
}

// QUEUE.POS applies to the very QUEUE.LST it continues: after that file was written again
// (the normal end, or a hand edit), or when the record is damaged, the queue reads as
// QUEUE.LST has it, and the record is removed.
TEST_F(QueueFileTest, ARecordForAnotherQueueFileOrADamagedOneIsLeftOut) {
  for (int i = 0; i < 30; ++i)
    AddQueueEntry(state.queue, Request("C:\\OUT\\F" + std::to_string(i)), Context());
  const auto saveProgress = [&] {
    QueueProgressFile progress(paths);
    ASSERT_TRUE(progress.Save(state));
    state.queue.front().offset += 5400;
    ASSERT_TRUE(progress.Save(state));
    ASSERT_TRUE(dir.Exists("queue.pos"));
  };
  const auto offsetReadBack = [&] {
    RunState read;
    ReadQueueFile(paths, read, Context(), log);
    return read.queue.front().offset;
  };

  saveProgress();
  const std::string record = Read("queue.pos");
  EXPECT_EQ(offsetReadBack(), state.queue.front().offset);
  WriteQueueFile(paths, state);  // the normal end
  EXPECT_FALSE(dir.Exists("queue.pos"));

  saveProgress();
  const int32_t whole = state.queue.front().offset - 5400;
  Write("queue.lst", Read("queue.lst") + "\r\n");  // written again by someone else
  EXPECT_EQ(offsetReadBack(), whole);
  EXPECT_FALSE(dir.Exists("queue.pos"));

  std::string pastTheEnd = record;
  pastTheEnd.replace(pastTheEnd.rfind("\r\n1 "), 4, "\r\n31 ");  // there are 30 entries
  for (const std::string& damaged :
       {std::string("Veldmark queue progress version 1\r\n"), record.substr(0, record.size() - 20),
        std::string(), pastTheEnd}) {
    saveProgress();
    const int32_t kept = state.queue.front().offset - 5400;
    Write("queue.pos", damaged);
    EXPECT_EQ(offsetReadBack(), kept);
    EXPECT_FALSE(dir.Exists("queue.pos"));
  }
}

}  // namespace
}  // namespace vm

namespace vm {
namespace {

// Each entry keeps the stamp its file had when queued, across the two files: entries of one
// path and area in queue order, an entry of another area apart, and a copy into TEMPPATH
// stamped as the copy only while the original is unchanged.
TEST_F(QueueFileTest, EntriesKeepTheirFilesStampsAcrossRuns) {
  dir.WriteFile("a.bin", "first contents");
  const std::string path = dir / "a.bin";
  QueueEntryRequest request = Request(path);
  AddQueueEntry(state.queue, request, Context());
  const QueuedFile first = *state.queue.back().queuedAs;
  EXPECT_EQ(first.size, 14);
  dir.WriteFile("a.bin", "second, longer contents");
  AddQueueEntry(state.queue, request, Context());
  request.areaId = "JC:\\FIDO\\JAM\\OTHER";
  AddQueueEntry(state.queue, request, Context());
  const QueuedFile second = *state.queue.back().queuedAs;
  EXPECT_EQ(second.size, 23);
  WriteQueueFile(paths, state);

  RunState loaded;
  ReadQueueFile(paths, loaded, Context(), log);
  ASSERT_EQ(loaded.queue.size(), 3u);
  auto it = loaded.queue.begin();
  EXPECT_EQ(it->queuedAs, first) << "the older entry keeps the older stamp";
  EXPECT_EQ((++it)->queuedAs, second);
  EXPECT_EQ((++it)->queuedAs, second);

  // Loaded while TEMPPATH is set: the copy stands for the file only if it had not changed.
  settings.TEMPPATH = dir / "temp";
  dir.MakeDirectory("temp");
  RunState copied;
  ReadQueueFile(paths, copied, Context(), log);
  ASSERT_EQ(copied.queue.size(), 3u);
  const QueueEntry& stale = copied.queue.front();
  const QueueEntry& fresh = copied.queue.back();
  EXPECT_EQ(stale.queuedAs, first);
  EXPECT_NE(StampOfFile(stale.path), stale.queuedAs) << "posting it would mix two files";
  EXPECT_EQ(StampOfFile(fresh.path), fresh.queuedAs);
  EXPECT_NE(fresh.path, path);
}

}  // namespace
}  // namespace vm
