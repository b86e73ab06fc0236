// QUEUE.LST damaged the way hand edits and cut copies damage it: one line inserted into an
// entry or lost from it, wherever in the entry, and an input history whose count runs past the
// end of the file. The damaged entry goes; every other entry, and the one after the damage
// above all, is read whole.
#include <gtest/gtest.h>

#include "state/queue_file.h"
#include "state/state_fixture.h"
#include "state/state_text.h"

namespace vm {
namespace {

constexpr size_t kHeaderLines = 9;  // the version line up to the empty line before the histories
constexpr size_t kEntryLines = 14;

class DamagedQueueTest : public StateFixture {
 protected:
  QueueContext Context() { return QueueContext{settings, console, {}}; }

  // An entry whose every field differs from the other entries'.
  QueueEntryRequest Request(int n) {
    QueueEntryRequest r;
    r.path = "C:\\OUT\\FILE" + std::to_string(n) + ".ZIP";
    r.areaId = "SC:\\FIDO\\SQ\\AREA" + std::to_string(n);
    r.fromName = "From " + std::to_string(n);
    r.toName = "To " + std::to_string(n);
    r.origText = "2:5020/" + std::to_string(n);
    r.destText = "2:5020/1" + std::to_string(n);
    r.offset = 5400 * n;
    r.fileSum = 1000u + static_cast<uint32_t>(n);
    r.flags = kEncodeUu;
    if (n == 3) r.flags |= kDeleteAfterSending;
    r.sentToday = n;
    r.templatePath = "C:\\VELDMARK\\T" + std::to_string(n) + ".TPL";
    r.linesPerSection = 100 + n;
    r.postedName = "FILE" + std::to_string(n) + ".ZIP";
    r.subject = "Subject " + std::to_string(n);
    return r;
  }

  // The lines of a queue file with entries 1, 2 and 3 and the given input histories.
  std::vector<std::string> Lines(const std::vector<std::string>& names = {"All"}) {
    RunState state;
    state.lastRun = {2024, 3, 15};
    state.nameHistory = names;
    state.addressHistory = {"2:5020/100"};
    for (int n = 1; n <= 3; ++n) AddQueueEntry(state.queue, Request(n), Context());
    WriteQueueFile(paths, state);
    return SplitStateLines(Read("queue.lst"));
  }

  RunState Load(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    Write("queue.lst", text);
    RunState loaded;
    ReadQueueFile(paths, loaded, Context(), log);
    return loaded;
  }

  // The entry as the file holds it, written again from what was loaded.
  std::string EntryText(const QueueEntry& entry) {
    RunState state;
    state.queue.push_back(entry);
    const std::vector<std::string> lines = SplitStateLines(FormatQueue(state));
    std::string text;
    for (size_t i = lines.size() - kEntryLines; i < lines.size(); ++i) text += lines[i] + "|";
    return text;
  }
  std::string Expected(int n) {
    RunState state;
    AddQueueEntry(state.queue, Request(n), Context());
    return EntryText(state.queue.front());
  }
};

TEST_F(DamagedQueueTest, ALineInsertedOrLostInsideAnEntryDropsOnlyThatEntry) {
  const std::vector<std::string> whole = Lines();
  // Entry 2 starts after the header, two histories of one text each, their empty line and
  // entry 1.
  const size_t second = kHeaderLines + 2 + 2 + 1 + kEntryLines;
  ASSERT_EQ(whole[second], "102 2");
  // A line of entry 2 but its closing empty one lost, or a line inserted after one of them (a
  // line that reads as a number is the hardest to tell from the entry's own).
  for (size_t line = 1; line < kEntryLines; ++line) {
    for (const bool inserted : {true, false}) {
      SCOPED_TRACE((inserted ? "inserted after line " : "lost line ") + std::to_string(line));
      std::vector<std::string> lines = whole;
      const auto at = lines.begin() + static_cast<long>(second + line - 1);
      if (inserted)
        lines.insert(at + 1, "7");
      else
        lines.erase(at);
      const RunState loaded = Load(lines);
      ASSERT_EQ(loaded.queue.size(), 2u);
      EXPECT_EQ(EntryText(loaded.queue.front()), Expected(1));
      EXPECT_EQ(EntryText(loaded.queue.back()), Expected(3));
      EXPECT_EQ(loaded.nameHistory, std::vector<std::string>{"All"});
      EXPECT_EQ(loaded.addressHistory, std::vector<std::string>{"2:5020/100"});
    }
  }
}

// The count of the names' history says how many lines follow it. A count of exactly the lines
// left takes them all; one more than that is damage: the history is not read, and the entries
// after the count are found again instead of being swallowed.
TEST_F(DamagedQueueTest, HistoryCountOfTheLinesLeftIsReadOnePastIsNot) {
  const size_t count = kHeaderLines;
  const std::vector<std::string> whole = Lines();
  ASSERT_EQ(whole[count], "1");

  std::vector<std::string> lines = whole;
  const size_t left = lines.size() - count - 1;
  lines[count] = std::to_string(left);
  RunState loaded = Load(lines);
  EXPECT_EQ(loaded.nameHistory.size(), left);
  EXPECT_TRUE(loaded.queue.empty());

  lines[count] = std::to_string(left + 1);
  loaded = Load(lines);
  EXPECT_TRUE(loaded.nameHistory.empty());
  ASSERT_EQ(loaded.queue.size(), 3u);
  EXPECT_EQ(EntryText(loaded.queue.front()), Expected(1));
  EXPECT_EQ(EntryText(loaded.queue.back()), Expected(3));
}

}  // namespace
}  // namespace vm
