// /All and /Decode over Squish and JAM areas: a three-part UUE posting written into a Squish
// base, or tossed into a JAM base by crashmail, decodes exactly as the same posting does from
// a *.MSG area (the same printed output, file, lists, description and report), and the next
// run resumes at the area's last message and decodes nothing new.
#include <gtest/gtest.h>

#include <memory>

#include "decode_node.h"

namespace vm::test {
namespace {

const std::string kData = TestBytes(2500, 11);
const std::vector<std::string> kRuns[] = {{"/All"}, {"/Decode", "RU.FILES"}};

std::vector<Lines> Sections() {
  std::vector<Lines> sections = UuSections(kData, "pack.zip", 20);
  EXPECT_EQ(sections.size(), 3u) << "the data should take three sections";
  return sections;
}

std::unique_ptr<DecodeNode> MakeNode(BaseKind ruFiles) {
  auto node = std::make_unique<DecodeNode>(
      std::vector<std::string>{"RECEIVEMODE advanced", "HEADERS yes",
                               "AREA MSG REPORTS areas\\reports", "REPORTAREA reports"},
      "AREA REPORTS\r\n  EXCLUDE yes", ruFiles);
  node->node().dir().MakeDirectory("areas/reports");
  return node;
}

// What a decoding run leaves that must not depend on the kind of base. Lines that carry the
// moment of the run (the report's creation line, its MSGID) are left out.
struct Outcome {
  std::string output;
  std::string file;
  std::string areaList;
  Lines rootList;
  Lines description;
  Lines report;
};

// The description's "Кому" line ends with the message's destination address when the base
// gives one: a *.MSG header always does (its net and node fields, zero in echomail, with the
// reader's default zone), while echomail in Squish and JAM bases carries none.
const std::string kToLine = "Кому:    ";
const size_t kToLineWithName = kToLine.size() + 30;  // the name padded to 30

Lines WithoutDestination(Lines lines) {
  for (std::string& line : lines)
    if (line.rfind(kToLine, 0) == 0) line = line.substr(0, kToLineWithName);
  return lines;
}

Lines WithoutMomentLines(const Lines& lines) {
  Lines kept;
  for (const std::string& line : lines)
    if (!Contains(line, "Отчет создан") && line.rfind("\x01MSGID:", 0) != 0) kept.push_back(line);
  return kept;
}

Outcome Decode(const DecodeNode& node, const std::vector<std::string>& arguments) {
  const ProgramRun run = node.Run(arguments);
  EXPECT_EQ(run.exitCode, 0) << run.output << run.errors;
  Outcome outcome;
  outcome.output = run.output;
  outcome.file = node.Read("FILES/RUFILES/PACK.ZIP");
  outcome.areaList = node.ReadUtf8("FILES/RUFILES/files.bbs");
  outcome.rootList = WithoutMomentLines(CrLfLines(node.ReadUtf8("FILES/files.bbs")));
  outcome.description = CrLfLines(node.ReadUtf8("FILES/RUFILES/PACK.dsc"));
  const std::vector<int32_t> reports = node.Messages("reports");
  if (!reports.empty())
    outcome.report = WithoutMomentLines(node.MessageLines("reports", reports.back()));
  return outcome;
}

// got: the outcome over a Squish or JAM area; expected: over a *.MSG area.
void ExpectSameOutcome(const Outcome& got, const Outcome& expected) {
  EXPECT_TRUE(got.file == kData) << "the decoded file differs from the posted data";
  EXPECT_EQ(got.output, expected.output);
  EXPECT_EQ(got.areaList, expected.areaList);
  EXPECT_EQ(got.rootList, expected.rootList);
  EXPECT_EQ(got.description, WithoutDestination(got.description));
  EXPECT_EQ(got.description, WithoutDestination(expected.description));
  EXPECT_EQ(got.report, expected.report);
}

// The number of the last message of RU.FILES, read through its base.
int32_t LastMessage(const DecodeNode& node) {
  MessageBaseHandle base;
  if (!OpenMessageArea(node.AreaId("rufiles"), base)) return 0;
  int32_t last = 0;
  for (base->SeekFrom(1); base->Found(); base->SeekNext()) last = base->MessageNumber();
  CloseMessageArea(base);
  return last;
}

// The run after a decoding: it seeks the message it stopped at, finds that message unchanged
// (the check stored for it matches), and neither decodes nor lists anything new.
void ExpectResumedWithNothingNew(const DecodeNode& node,
                                 const std::vector<std::string>& arguments) {
  const std::string areaList = node.ReadUtf8("FILES/RUFILES/files.bbs");
  const std::string logBefore = node.ReadUtf8("VELDMARK.LOG");
  const ProgramRun run = node.Run(arguments);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_FALSE(Contains(run.output, "PACK.ZIP")) << run.output;
  EXPECT_EQ(node.ReadUtf8("FILES/RUFILES/files.bbs"), areaList);
  EXPECT_TRUE(node.Read("FILES/RUFILES/PACK.ZIP") == kData);

  const std::string log = node.ReadUtf8("VELDMARK.LOG").substr(logBefore.size());
  EXPECT_TRUE(Contains(log, "  Seek " + std::to_string(LastMessage(node)) + "\r\n")) << log;
  const size_t check = log.find("  Areas CRC = ");
  ASSERT_NE(check, std::string::npos) << log;
  const std::string stored = log.substr(check + 14, 8);
  EXPECT_EQ(log.substr(check + 14 + 8, 12), "  Msg CRC = ") << log;
  EXPECT_EQ(log.substr(check + 14 + 8 + 12, 8), stored) << "the resume check failed:\n" << log;
}

TEST(SquishArea, WrittenPostingDecodesAsFromAMsgAreaAndResumes) {
  Poster poster;
  poster.kludges = {"\x01MSGID: 2:5030/7 5f3a0001", "\x01PID: Poster 1.0"};
  for (const std::vector<std::string>& arguments : kRuns) {
    SCOPED_TRACE(arguments[0]);
    auto msg = MakeNode(kMsgBase);
    msg->Write("rufiles", poster, "Welcome", {"Welcome to RU.FILES."});
    msg->Post("rufiles", poster, Sections(), "PACK.ZIP");
    const Outcome expected = Decode(*msg, arguments);
    ASSERT_TRUE(expected.file == kData) << expected.output;

    auto squish = MakeNode(kSquishBase);
    squish->Write("rufiles", poster, "Welcome", {"Welcome to RU.FILES."});
    squish->Post("rufiles", poster, Sections(), "PACK.ZIP");
    ASSERT_TRUE(squish->Exists("areas/rufiles.SQD")) << "the posting is not in a Squish base";
    ExpectSameOutcome(Decode(*squish, arguments), expected);
    ExpectResumedWithNothingNew(*squish, arguments);
  }
}

class JamArea : public ::testing::Test {
 protected:
  void SetUp() override {
    if (JamCrashmail().empty())
      GTEST_SKIP() << "VELDMARK_CRASHMAIL_JAM does not name a crashmail built with unsigned chars";
  }

  // The posting with a PID beside every MSGID, tossed into the node's RU.FILES.
  static void Toss(const DecodeNode& node, const char* format) {
    CrashmailNode tosser(NodeTosser(node, JamCrashmail(), format));
    ASSERT_TRUE(tosser.Toss(PostingPacket(Sections(), "PACK.ZIP", {"PID: Poster 1.0"})))
        << tosser.Diagnostics();
  }
};

TEST_F(JamArea, TossedPostingDecodesAsFromAMsgAreaAndResumes) {
  for (const std::vector<std::string>& arguments : kRuns) {
    SCOPED_TRACE(arguments[0]);
    auto msg = MakeNode(kMsgBase);
    ASSERT_NO_FATAL_FAILURE(Toss(*msg, "MSG"));
    const Outcome expected = Decode(*msg, arguments);
    ASSERT_TRUE(expected.file == kData) << expected.output;

    auto jam = MakeNode(kJamBase);
    ASSERT_NO_FATAL_FAILURE(Toss(*jam, "JAM"));
    // The kludges crashmail filed as subfields come back as lines before the text, where the
    // scan meets them first.
    const Lines first = jam->MessageLines("rufiles", 2);
    ASSERT_GE(first.size(), 3u);
    EXPECT_EQ(first[0], "\x01MSGID: 2:5030/7 00000002");
    EXPECT_EQ(first[1], "\x01PID: Poster 1.0");
    EXPECT_NE(std::find(first.begin(), first.end(), "Here is the archive."), first.end());
    ExpectSameOutcome(Decode(*jam, arguments), expected);
    ExpectResumedWithNothingNew(*jam, arguments);
  }
}

}  // namespace
}  // namespace vm::test
