// JAM bases shared with crashmail: what it tosses reads back through OpenMessageArea, and what
// JamBase writes it exports and rescans. The crashmail binary must be one built with unsigned
// chars (scripts/build_crashmail_jam.sh); the tests find it through VELDMARK_CRASHMAIL_JAM.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "msgbase/jam_fixture.h"
#include "support/crashmail_node.h"
#include "support/fidonet_packet.h"
#include "text/cp866.h"

namespace vm::jamtest {
namespace {

const NetAddress kOurs{2, 5020, 9999, 0};
const NetAddress kUplink{2, 5020, 1, 0};
constexpr const char* kArea = "TEST.JAM";

class JamCrashmailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CrashmailSetup setup;
    setup.binary = JamCrashmail();
    if (setup.binary.empty())
      GTEST_SKIP() << "VELDMARK_CRASHMAIL_JAM does not name a crashmail built with unsigned chars";
    setup.aka = kOurs;
    setup.uplink = kUplink;
    setup.areas = {TosserArea{kArea, "JAM", "jam/test", true}};
    crashmail_ = std::make_unique<CrashmailNode>(setup);
  }

  int Run(const std::vector<std::string>& words) { return crashmail_->Run(words); }

  std::string Log() { return crashmail_->Diagnostics(); }

  void Toss(const std::vector<PacketMessage>& messages) {
    Packet packet;
    packet.orig = kUplink;
    packet.dest = kOurs;
    packet.created = DateTime{2024, 3, 1, 12, 0, 0};
    packet.messages = messages;
    ASSERT_TRUE(crashmail_->Toss(packet)) << Log();
  }

  std::vector<PacketMessage> TakeExported() { return crashmail_->TakeExported(); }

  std::string AreaId() { return "J" + (crashmail_->dir() / "jam/test"); }

  std::unique_ptr<CrashmailNode> crashmail_;
};

PacketMessage Echo(std::string from, std::string subject, std::vector<std::string> kludges,
                   std::string text) {
  PacketMessage message;
  message.orig = kUplink;
  message.dest = kOurs;
  message.dateTime = "05 Mar 24  10:20:30";
  message.fromName = std::move(from);
  message.toName = "All";
  message.subject = std::move(subject);
  message.body = EchomailBody(kArea, kludges, text, kUplink);
  return message;
}

// The lines that are not kludge lines.
std::vector<std::string> PlainLines(const std::vector<std::string>& lines) {
  std::vector<std::string> plain;
  for (const std::string& line : lines)
    if (line.empty() || line[0] != '\x01') plain.push_back(line);
  return plain;
}

TEST_F(JamCrashmailTest, TossedMessagesReadBackWithKludgesCyrillicAndLongTexts) {
  std::string cyrillic = Cp866("Привет, мир! Съешь же ещё этих мягких французских булок.");
  std::string longText;
  while (longText.size() < 400000)
    longText += std::string(70, 'x') + " " + std::to_string(longText.size()) + "\r";
  Toss({Echo(Cp866("Иван Петров"), Cp866("Тема"),
             {"MSGID: 2:5020/1 0badf00d", "REPLY: 2:5020/2 12345678", "PID: Tester 1",
              "CHRS: CP866 2", "TZUTC: 0300"},
             cyrillic + "\rsecond line\r"),
        Echo("Long Writer", "Long", {"MSGID: 2:5020/1 0badf00e"}, longText)});

  MessageBaseHandle base;
  ASSERT_TRUE(OpenMessageArea(AreaId(), base)) << Log();
  EXPECT_EQ(base->ActiveCount(), 2);
  base->SeekFrom(0);
  ASSERT_TRUE(base->Found());
  std::vector<std::string> lines = Lines(*base);
  EXPECT_EQ(base->FromName(), Cp866("Иван Петров"));
  EXPECT_EQ(base->ToName(), "All");
  EXPECT_EQ(base->Subject(), Cp866("Тема"));
  EXPECT_EQ(base->DateText(), "03-05-24");
  EXPECT_EQ(base->TimeText(), "10:20");
  NetAddress orig;
  base->GetOrigAddress(orig);
  EXPECT_EQ(orig, kUplink);
  for (const char* kludge :
       {"\x01MSGID: 2:5020/1 0badf00d", "\x01REPLY: 2:5020/2 12345678", "\x01PID: Tester 1",
        "\x01"
        "CHRS: CP866 2",
        "\x01TZUTC: 0300"}) {
    auto at = std::find(lines.begin(), lines.end(), kludge);
    ASSERT_NE(at, lines.end()) << kludge;
    EXPECT_LT(at - lines.begin(), std::find(lines.begin(), lines.end(), cyrillic) - lines.begin());
  }
  std::vector<std::string> plain = PlainLines(lines);
  ASSERT_GE(plain.size(), 2u);
  EXPECT_EQ(plain[0], cyrillic);
  EXPECT_EQ(plain[1], "second line");
  EXPECT_TRUE(std::any_of(plain.begin(), plain.end(),
                          [](const std::string& l) { return l.rfind(" * Origin:", 0) == 0; }));

  base->SeekNext();
  ASSERT_TRUE(base->Found());
  std::vector<std::string> longLines = PlainLines(Lines(*base));
  std::vector<std::string> expected = BodyLines(longText);
  ASSERT_GE(longLines.size(), expected.size());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), longLines.begin()));
  base->SeekNext();
  EXPECT_FALSE(base->Found());
  CloseMessageArea(base);
}

TEST_F(JamCrashmailTest, WrittenMessagesAreExportedAndTheAreaRescanned) {
  Toss({Echo("Tossed", "Before", {"MSGID: 2:5020/1 00000001"}, "tossed text\r")});
  std::string text = Cp866("Строка по-русски\rLine two\r");
  {
    MessageBaseHandle base;
    ASSERT_TRUE(OpenOrCreateMessageArea(AreaId(), base));
    Draft draft;
    draft.from = Cp866("Отправитель");
    draft.to = "All";
    draft.subject = Cp866("Файлы");
    draft.orig = kOurs;
    draft.date = "07-15-24";
    draft.time = "08:09";
    draft.kludges = {"\x01MSGID: 2:5020/9999 5f3a0001", "\x01PID: Poster 1.0"};
    draft.text = text + "--- Poster\r * Origin: Here (2:5020/9999)\r";
    ASSERT_EQ(Post(*base, draft), 0);
    CloseMessageArea(base);
  }
  ASSERT_EQ(Run({"SCAN"}), 0) << Log();
  std::vector<PacketMessage> exported = TakeExported();
  ASSERT_EQ(exported.size(), 1u) << Log();
  const PacketMessage& message = exported[0];
  EXPECT_EQ(message.fromName, Cp866("Отправитель"));
  EXPECT_EQ(message.toName, "All");
  EXPECT_EQ(message.subject, Cp866("Файлы"));
  EXPECT_EQ(message.dateTime, "15 Jul 24  08:09:00");
  EXPECT_EQ(message.orig.net, kOurs.net);
  EXPECT_EQ(message.orig.node, kOurs.node);
  EXPECT_EQ(KludgeValue(message.body, "MSGID"), "2:5020/9999 5f3a0001");
  EXPECT_EQ(KludgeValue(message.body, "PID"), "Poster 1.0");
  EXPECT_EQ(BodyLines(message.body).front(), std::string("AREA:") + kArea);
  std::vector<std::string> lines = TextLines(message.body);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], Cp866("Строка по-русски"));
  EXPECT_EQ(lines[1], "Line two");
  EXPECT_EQ(lines[2], "--- Poster");
  EXPECT_EQ(lines[3], " * Origin: Here (2:5020/9999)");

  // crashmail marked it sent in the header we wrote, and left the rest alone.
  MessageBaseHandle base;
  ASSERT_TRUE(OpenMessageArea(AreaId(), base));
  base->SeekFrom(2);
  ASSERT_TRUE(base->Found());
  std::vector<std::string> after = Lines(*base);
  EXPECT_TRUE(base->IsSent());
  EXPECT_EQ(base->FromName(), Cp866("Отправитель"));
  EXPECT_EQ(after.front(), "\x01MSGID: 2:5020/9999 5f3a0001");
  CloseMessageArea(base);

  ASSERT_EQ(Run({"RESCAN", kArea, "RESCANNODE", "2:5020/1"}), 0) << Log();
  std::vector<PacketMessage> rescanned = TakeExported();
  ASSERT_EQ(rescanned.size(), 2u) << Log();
  EXPECT_EQ(KludgeValue(rescanned[1].body, "MSGID"), "2:5020/9999 5f3a0001");
  EXPECT_EQ(Log().find("Failed"), std::string::npos) << Log();
}

}  // namespace
}  // namespace vm::jamtest
