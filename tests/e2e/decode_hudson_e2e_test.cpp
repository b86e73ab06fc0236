// Hudson bases in whole runs. /All over a base shared by two areas: a three-part posting that
// another program wrote into board 1 decodes byte for byte and its messages are deleted, and
// the new-files report goes into board 2, where that program's reader finds it. A file queued
// with /Encode into a board is posted there and decodes back.
#include <gtest/gtest.h>

#include "decode_node.h"
#include "support/hudson_reference.h"

namespace vm::test {
namespace {

TEST(HudsonArea, PostingFromAnotherProgramDecodesAndTheReportGoesToAnotherBoard) {
  DecodeNode node({"AREA HUDSON RU.HUDSON 001areas\\hudson", "AREA HUDSON REPORTS 002areas\\hudson",
                   "REPORTAREA REPORTS", "DELETEDECODED yes"},
                  "AREA REPORTS\r\n  EXCLUDE yes");
  node.node().dir().MakeDirectory("areas/hudson");
  const std::string dir = node.Path("areas/hudson");
  CreateHudsonBase(dir);
  const std::string data = TestBytes(2500, 5);
  const std::vector<Lines> sections = UuSections(data, "pack.zip", 20);
  ASSERT_EQ(sections.size(), 3u);
  for (size_t n = 0; n < sections.size(); ++n) {
    HudsonMessage m;
    m.area = 1;
    m.msgAttr = 0;  // tossed in, not written here
    m.from = "Alexander Ivanov";
    m.subject = "PACK.ZIP [" + std::to_string(n + 1) + "/3]";
    m.text = "Hello All,\r\r";
    for (const std::string& line : sections[n]) m.text += line + "\r";
    m.text += "--- test\r * Origin: Test BBS (2:5030/7)\r";
    AppendHudsonMessage(dir, m);
  }

  const ProgramRun run = node.Run({"/All"});
  ASSERT_EQ(run.exitCode, 0) << run.output << run.errors;
  EXPECT_TRUE(node.Read("FILES/PACK.ZIP") == data) << run.output;
  EXPECT_FALSE(Contains(node.ReadUtf8("VELDMARK.LOG"), "Нет доступа"))
      << node.ReadUtf8("VELDMARK.LOG");

  std::vector<HudsonMessage> reports;
  for (const HudsonMessage& m : ReadHudsonMessages(dir)) {
    if (m.area == 2) reports.push_back(m);
    if (m.area == 1) {
      EXPECT_EQ(m.msgNum, 0xFFFF) << "a decoded section is deleted";
    }
  }
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].msgNum, 4);
  EXPECT_TRUE(Contains(reports[0].text, "PACK.ZIP")) << reports[0].text;
  const HudsonInfo info = ReadHudsonInfo(dir);
  EXPECT_EQ(info.active, 1);
  EXPECT_EQ(info.areaActive[0], 0);
  EXPECT_EQ(info.areaActive[1], 1);
}

TEST(HudsonArea, FileQueuedWithEncodeIsPostedIntoTheBoardAndDecodesBack) {
  DecodeNode node({"LINESPERSEC 10", "AREA HUDSON RU.HUDSON 007areas\\hudson"});
  node.node().dir().MakeDirectory("areas/hudson");  // the base itself is made by the posting
  const std::string data = TestBytes(2000, 9);
  node.node().dir().WriteFile("DATA.BIN", data);
  ProgramRun run = node.Run({"/Encode", "DATA.BIN", "UU", "RU.HUDSON", "All", "-Immed"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(Contains(run.output, "> - Ok")) << run.output;

  const std::vector<HudsonMessage> posted = ReadHudsonMessages(node.Path("areas/hudson"));
  ASSERT_EQ(posted.size(), 5u);  // 2000 bytes at 450 a section
  for (const HudsonMessage& m : posted) {
    EXPECT_EQ(m.area, 7);
    EXPECT_EQ(m.msgAttr & 0x20, 0x20) << "echomail to be exported";
  }
  EXPECT_EQ(ReadHudsonList(node.Path("areas/hudson/ECHOMAIL.BBS")),
            (std::vector<uint16_t>{0, 1, 2, 3, 4}));

  run = node.Run({"/Decode", "RU.HUDSON", "-AnyWay"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(node.Read("FILES/DATA.BIN") == data) << run.output;
}

}  // namespace
}  // namespace vm::test
