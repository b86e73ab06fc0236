// Paths written in lower case in VELDMARK.CTL, as a Linux sysop writes them for the tosser
// too: what the program creates carries that spelling, and state files whose area ids an
// earlier version upper-cased still find their areas.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "decode_node.h"
#include "platform/host.h"

namespace vm::test {
namespace {

const std::vector<std::string> kLowerCaseSettings = {"ROOT out/files",
                                                     "TEMP tmp/work",
                                                     "LOGPATH Veldmark.log",
                                                     "AREA JAM RU.FILES areas/jam/rufiles",
                                                     "AREA MSG BIG areas/msg/big",
                                                     "AREA SQUISH SQ areas/sq/base",
                                                     "AREA MSG REP areas/msg/reports",
                                                     "REPORTAREA REP"};

// The names in a directory of the node, as they are on the disk.
std::set<std::string> Names(const E2eNode& node, const std::string& relative) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(node.dir() / relative))
    names.insert(entry.path().filename().string());
  return names;
}

std::string CrLf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

class PathCase : public ::testing::Test {
 protected:
  PathCase() : node(kLowerCaseSettings) {
    node.dir().WriteFile("AREADEFS.CTL", CrLf({"AREA *", "  SECTIONSPERDAY 10"}));
    node.dir().WriteFile("a.bin", TestBytes(500, 4));
  }
  E2eNode node;
};

TEST_F(PathCase, BasesDirectoriesAndTheLogAreCreatedAsWritten) {
  for (const char* area : {"RU.FILES", "BIG", "SQ"}) {
    ProgramRun run = RunInNode(node, {"/Encode", "a.bin", "UU", area, "All", "-Immed"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
  }
  ProgramRun run = RunInNode(node, {"/All", "-ScanAll", "-AnyWay"});
  ASSERT_EQ(run.exitCode, 0) << run.output;

  EXPECT_EQ(Names(node, "areas"), (std::set<std::string>{"jam", "msg", "sq"}));
  for (const char* name : {"rufiles.jdt", "rufiles.jdx", "rufiles.jhr", "rufiles.jlr"})
    EXPECT_EQ(Names(node, "areas/jam").count(name), 1u) << name;
  EXPECT_EQ(Names(node, "areas/jam").count("RUFILES.jhr"), 0u);
  EXPECT_EQ(Names(node, "areas/msg"), (std::set<std::string>{"big", "reports"}));
  for (const std::string& name : Names(node, "areas/sq")) EXPECT_EQ(name.rfind("base.", 0), 0u);
  EXPECT_FALSE(Names(node, "areas/msg/reports").empty()) << "the report was posted";
  EXPECT_TRUE(node.Read("out/files/A.BIN") == TestBytes(500, 4)) << run.output;
  const std::set<std::string> top = Names(node, ".");
  for (const char* name : {"out", "tmp", "Veldmark.log"}) EXPECT_EQ(top.count(name), 1u) << name;
  for (const char* name : {"OUT", "TMP", "AREAS", "VELDMARK.LOG"})
    EXPECT_EQ(top.count(name), 0u) << name;
  EXPECT_EQ(Names(node, "tmp"), (std::set<std::string>{"work"}));
}

TEST_F(PathCase, StateFilesWithUpperCasedAreaIdsStillMatch) {
  const DateTime now = LocalNow();
  const std::string today =
      std::to_string(now.year) + " " + std::to_string(now.month) + " " + std::to_string(now.day);
  // As an earlier version left them: every area id upper-cased, a posting queued for the JAM
  // area whose base does not exist yet, the scan of BIG stopped at message 3.
  node.dir().WriteFile("queue.lst", CrLf({"Veldmark queue file version 8",
                                          today,
                                          "Ivan Petrov",
                                          "All",
                                          "2:5020/100",
                                          "",
                                          "4",
                                          "",
                                          "",
                                          "0",
                                          "0",
                                          "",
                                          "120 0",
                                          "0",
                                          "0",
                                          node.path() + "/a.bin",
                                          "JAREAS/JAM/RUFILES",
                                          "Ivan Petrov",
                                          "All",
                                          "2052",
                                          "2:5020/100",
                                          "2:5020/100",
                                          node.path() + "/VELDMARK.TPL",
                                          "A.BIN",
                                          "A.BIN",
                                          ""}));
  node.dir().WriteFile(
      "areas.lst", CrLf({"Veldmark area parameters file version 1", "JAREAS/JAM/RUFILES", "7 0 0",
                         "FAREAS/MSG/BIG", "5 3 -12345"}));
  node.dir().WriteFile("veldmark.dup", CrLf({"Veldmark duplicates file version 3", "OLD.ZIP",
                                             "RU.FILES", "30 2 2024 1 1 2 " + today}));

  ProgramRun run = RunInNode(node, {"/q"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(Contains(run.output, " ∙ A.BIN > - Ok")) << run.output;
  // Posted into the area's own spelling of the base, not a new upper-cased one.
  EXPECT_EQ(Names(node, "areas"), (std::set<std::string>{"jam"}));
  EXPECT_EQ(Names(node, "areas/jam").count("rufiles.jhr"), 1u);
  // Each area kept what the old file said (RU.FILES one section less for the posting).
  const std::string areas = node.Read("areas.lst");
  EXPECT_TRUE(Contains(areas, "Jareas/jam/rufiles\r\n6 0 0\r\n")) << areas;
  EXPECT_TRUE(Contains(areas, "Fareas/msg/big\r\n5 3 -12345\r\n")) << areas;
  EXPECT_TRUE(Contains(node.Read("veldmark.dup"), "OLD.ZIP\r\nRU.FILES\r\n"));
  EXPECT_FALSE(Contains(node.Read("queue.lst"), "A.BIN")) << "the posting left the queue";
}

}  // namespace
}  // namespace vm::test
