// Posting from the command line when something is not as it was asked: a file changed after it
// was queued, a template without @SECTION, areas that cannot be reached or written (exit code
// 4), and two program directories posting at once with one address (no MSGID repeated).
#include <gtest/gtest.h>
#include <strings.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <thread>

#include "decode_node.h"

namespace vm::test {
namespace {

constexpr int kIncomplete = 4;

std::vector<std::string> QueueLines(const DecodeNode& node) {
  std::vector<std::string> lines;
  std::string text = node.Read("queue.lst");
  for (size_t start = 0, end; start < text.size(); start = end + 2) {
    end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

void WriteQueueLines(const DecodeNode& node, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  node.node().dir().WriteFile("queue.lst", text);
}

// The index of the first entry's offset line: the entries follow the two empty histories.
constexpr size_t kFirstOffsetLine = 13;

struct Change {
  const char* name;
  std::function<void(const DecodeNode&)> apply;
  const char* says;
};

// A file queued with -Del and one section a day, changed after its first section: the next
// day's run posts nothing more of it, keeps the entry and the file, names the file and ends
// with exit code 4; the entry stays so until the user queues the file again.
TEST(PostingChangedFile, PostsNothingMoreAndKeepsTheFile) {
  const Change changes[] = {
      {"shrunk", [](const DecodeNode& n) { fs::resize_file(n.Path("DATA.BIN"), 100); },
       "изменился после постановки в очередь"},
      {"grown",
       [](const DecodeNode& n) {
         std::ofstream(n.Path("DATA.BIN"), std::ios::app) << std::string(5000, 'g');
       },
       "изменился после постановки в очередь"},
      {"touched",
       [](const DecodeNode& n) {
         const fs::path p = n.Path("DATA.BIN");
         fs::last_write_time(p, fs::last_write_time(p) + std::chrono::hours(1));
       },
       "изменился после постановки в очередь"},
      {"offset past the end",
       [](const DecodeNode& n) {
         std::vector<std::string> lines = QueueLines(n);
         lines.at(kFirstOffsetLine) = "2147483647";
         WriteQueueLines(n, lines);
       },
       "короче, чем отмечено в очереди"},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.name);
    DecodeNode node({"LINESPERSEC 10"}, "AREA RU.FILES\r\nSECTIONSPERDAY 1");
    node.node().dir().WriteFile("DATA.BIN", TestBytes(3000, 4));
    ProgramRun run = node.Run({"/Encode", "DATA.BIN", "UU", "RU.FILES", "All", "-Del"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(node.Messages("rufiles").size(), 1u);
    ASSERT_NE(node.Read("queue.lst").find("DATA.BIN"), std::string::npos);
    // A new day, so that the entry may post again.
    std::vector<std::string> lines = QueueLines(node);
    lines.at(1) = "2000 1 1";
    WriteQueueLines(node, lines);
    change.apply(node);

    for (int day = 0; day < 2; ++day) {
      run = node.Run({"/q"});
      EXPECT_EQ(run.exitCode, kIncomplete) << run.output;
      EXPECT_NE(run.output.find("DATA.BIN " + std::string(change.says)), std::string::npos)
          << run.output;
      EXPECT_NE(node.ReadUtf8("VELDMARK.LOG").find(change.says), std::string::npos);
      EXPECT_EQ(node.Messages("rufiles").size(), 1u) << "nothing more posted";
      EXPECT_TRUE(node.Exists("DATA.BIN")) << "never deleted";
      EXPECT_NE(node.Read("queue.lst").find("DATA.BIN"), std::string::npos) << "entry kept";
    }
  }
}

// A template without @SECTION would post messages without the file: with -Del the file is not
// queued at all (it would be deleted unposted); without -Del the sysop is warned once.
TEST(PostingTemplate, WithoutSectionLineRefusesDeletionAndWarnsOtherwise) {
  DecodeNode node;
  node.node().dir().WriteFile("VELDMARK.TPL", "Hello, %TONAME%!\r\n;@SECTION in a comment\r\n");
  node.node().dir().WriteFile("A.BIN", TestBytes(2000, 5));
  ProgramRun run = node.Run({"/Encode", "A.BIN", "UU", "RU.FILES", "All", "-Immed", "-Del"});
  EXPECT_EQ(run.exitCode, kIncomplete) << run.output;
  EXPECT_NE(run.output.find("нет строки @SECTION: файл A.BIN был бы удален"), std::string::npos)
      << run.output;
  EXPECT_TRUE(node.Exists("A.BIN"));
  EXPECT_TRUE(node.Messages("rufiles").empty());
  EXPECT_EQ(node.Read("queue.lst").find("A.BIN"), std::string::npos);

  run = node.Run({"/Encode", "A.BIN", "UU", "RU.FILES", "All", "-Immed"});
  EXPECT_EQ(run.exitCode, 0) << run.output;
  const std::string warning = "нет строки @SECTION: сообщения уйдут без файла A.BIN";
  const size_t at = run.output.find(warning);
  EXPECT_NE(at, std::string::npos) << run.output;
  EXPECT_EQ(run.output.find(warning, at + 1), std::string::npos) << "warned once";
  EXPECT_TRUE(node.Exists("A.BIN"));
}

// Exit code 4 for a run that did not do everything asked; 0 for one that did.
TEST(PostingExitCodes, FailuresEndWithFourSuccessWithZero) {
  struct Case {
    const char* name;
    std::vector<std::string> settings;
    std::function<void(const DecodeNode&)> prepare;
    std::vector<std::string> arguments;
    int exitCode;
  };
  // An area whose base cannot be made: its directory would have to go where a file is.
  const std::string blocked = "AREA MSG RU.BLOCKED blocker\\area";
  const std::string hudson = "AREA HUDSON RU.HUDSON 001hudson";
  const Case cases[] = {
      {"all posted",
       {},
       [](const DecodeNode& n) { n.node().dir().WriteFile("A.BIN", "data 1"); },
       {"/Encode", "A.BIN", "UU", "RU.FILES", "All", "-Immed"},
       0},
      {"empty file",
       {},
       [](const DecodeNode& n) { n.node().dir().WriteFile("E.BIN", ""); },
       {"/Encode", "E.BIN", "UU", "RU.FILES", "All", "-Immed"},
       kIncomplete},
      {"area not reachable by /q",
       {blocked},
       [](const DecodeNode& n) {
         n.node().dir().WriteFile("blocker", "a file");
         n.node().dir().WriteFile("B.BIN", "data 2");
         ASSERT_EQ(n.Run({"/Encode", "B.BIN", "UU", "RU.BLOCKED", "All"}).exitCode, kIncomplete);
       },
       {"/q"},
       kIncomplete},
      {"area not reachable by /All",
       {blocked},
       [](const DecodeNode& n) { n.node().dir().WriteFile("blocker", "a file"); },
       {"/All"},
       kIncomplete},
      {"full Hudson base",
       {hudson},
       [](const DecodeNode& n) {
         n.node().dir().MakeDirectory("hudson");
         n.node().dir().WriteFile("H.BIN", "data 3");
         ASSERT_EQ(n.Run({"/Encode", "H.BIN", "UU", "RU.HUDSON", "All", "-Immed"}).exitCode, 0);
         // As many text records as a Hudson base can number.
         for (const auto& entry : fs::directory_iterator(n.Path("hudson")))
           if (strcasecmp(entry.path().filename().c_str(), "MSGTXT.BBS") == 0)
             fs::resize_file(entry.path(), 65281 * 256);
       },
       {"/Encode", "H.BIN", "UU", "RU.HUDSON", "All", "-Immed"},
       kIncomplete},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DecodeNode node(c.settings);
    c.prepare(node);
    const ProgramRun run = node.Run(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
    if (c.exitCode == kIncomplete) {
      EXPECT_NE(node.ReadUtf8("VELDMARK.LOG").find("код выхода 4"), std::string::npos);
    }
  }
}

// The MSGID serials of every message in the area.
std::vector<std::string> Serials(const DecodeNode& node) {
  std::vector<std::string> serials;
  for (int32_t message : node.Messages("rufiles"))
    for (const std::string& line : node.MessageLines("rufiles", message))
      if (line.rfind("\x01MSGID: ", 0) == 0) serials.push_back(line.substr(line.rfind(' ') + 1));
  return serials;
}

// Two program directories with one address post at the same moment, faster than the clock
// gives serials: none of their MSGIDs repeats.
TEST(PostingMsgIds, TwoProgramDirectoriesNeverShareASerial) {
  DecodeNode first({"LINESPERSEC 2"}), second({"LINESPERSEC 2"});
  for (const DecodeNode* node : {&first, &second})
    node->node().dir().WriteFile("BIG.BIN", TestBytes(90 * 150, 6));
  ProgramRun runs[2];
  std::thread other([&] {
    runs[1] = second.Run({"/Encode", "BIG.BIN", "UU", "RU.FILES", "All", "-Immed"});
  });
  runs[0] = first.Run({"/Encode", "BIG.BIN", "UU", "RU.FILES", "All", "-Immed"});
  other.join();
  std::set<std::string> seen;
  size_t count = 0;
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(runs[i].exitCode, 0) << runs[i].output;
    for (const std::string& serial : Serials(i == 0 ? first : second)) {
      ++count;
      EXPECT_TRUE(seen.insert(serial).second) << serial << " repeated";
    }
  }
  EXPECT_EQ(count, 300u);
}

// The serials of the area's messages in the order of their numbers, read from the files.
std::vector<uint32_t> SerialsInOrder(const DecodeNode& node) {
  std::vector<uint32_t> serials;
  for (int32_t message : node.Messages("rufiles")) {
    const std::string text = node.Read("areas/rufiles/" + std::to_string(message) + ".msg");
    const size_t at = text.find("\x01MSGID: ");
    const size_t end = at == std::string::npos ? at : text.find('\r', at);
    if (end == std::string::npos) continue;
    serials.push_back(static_cast<uint32_t>(std::stoul(
        text.substr(text.rfind(' ', end) + 1, end - text.rfind(' ', end) - 1), nullptr, 16)));
  }
  return serials;
}

// A posting of 3,000 sections takes increasing serials (unpaced: MsgIdSerialTest), and the run
// after it goes on past every one of them.
TEST(PostingMsgIds, LongPostingTakesIncreasingSerialsAndTheNextRunGoesOn) {
  DecodeNode node({"LINESPERSEC 2"});
  node.node().dir().WriteFile("LONG.BIN", TestBytes(90 * 3000, 7));
  node.node().dir().WriteFile("NEXT.BIN", TestBytes(90 * 20, 8));
  const ProgramRun run = node.Run({"/Encode", "LONG.BIN", "UU", "RU.FILES", "All", "-Immed"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  ASSERT_EQ(SerialsInOrder(node).size(), 3000u);
  const ProgramRun next = node.Run({"/Encode", "NEXT.BIN", "UU", "RU.FILES", "All", "-Immed"});
  ASSERT_EQ(next.exitCode, 0) << next.output;
  const std::vector<uint32_t> all = SerialsInOrder(node);
  ASSERT_EQ(all.size(), 3020u);
  for (size_t i = 1; i < all.size(); ++i)
    ASSERT_GT(static_cast<int32_t>(all[i] - all[i - 1]), 0) << "message " << i + 1;
}

}  // namespace
}  // namespace vm::test
