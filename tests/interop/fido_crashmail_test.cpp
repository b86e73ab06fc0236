// *.MSG areas shared with a real tosser (Debian's crashmail): packets it tosses are read
// through the message base interface, and messages the base writes are exported by its SCAN.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "msgbase/message_base.h"
#include "support/crashmail_node.h"
#include "support/fidonet_packet.h"
#include "text/cp866.h"

namespace vm {
namespace {

using Strings = std::vector<std::string>;

const NetAddress kOurNode{2, 5020, 9999, 0};
const NetAddress kUplink{2, 5020, 100, 0};

class CrashmailArea : public ::testing::Test {
 protected:
  void SetUp() override {
    CrashmailSetup setup;
    setup.binary = DebianCrashmail();
    if (setup.binary.empty()) GTEST_SKIP() << "crashmail is not installed";
    setup.aka = kOurNode;
    setup.uplink = kUplink;
    setup.areas = {TosserArea{"TEST.MSG", "MSG", "echo", true}};
    crashmail = std::make_unique<CrashmailNode>(setup);
  }

  std::string AreaId(const char* sub) const { return "F" + (crashmail->dir() / sub); }

  std::unique_ptr<CrashmailNode> crashmail;
};

// Text lines of the current message as a reader sees them, kludges left out.
Strings PlainLines(MessageBase& base) {
  Strings lines;
  base.StartReading();
  while (!base.TextEnded()) {
    std::string line = base.NextLine(255);
    if (!line.empty() && line[0] == '\x01') continue;
    if (base.TextEnded() && line.empty()) break;
    lines.push_back(line);
  }
  return lines;
}

PacketMessage Echomail(const std::string& from, const std::string& subject,
                       const std::string& msgid, const std::string& text,
                       const NetAddress& origin) {
  PacketMessage m;
  m.orig = kUplink;
  m.dest = kOurNode;
  m.dateTime = "05 Mar 24  09:07:11";
  m.fromName = from;
  m.toName = "All";
  m.subject = subject;
  m.body = EchomailBody("TEST.MSG", {"MSGID: " + msgid}, text, origin);
  return m;
}

PacketMessage Netmail(const NetAddress& orig, const std::string& from, const std::string& text) {
  PacketMessage m;
  m.orig = orig;
  m.dest = kOurNode;
  m.attribute = 0x0001;  // private
  m.dateTime = "17 Dec 23  23:59:00";
  m.fromName = from;
  m.toName = "Test Sysop";
  m.subject = "netmail from " + FormatNetAddress(orig);
  m.body = NetmailBody(orig, kOurNode, {"MSGID: " + FormatNetAddress(orig) + " 0badcafe"}, text);
  return m;
}

TEST_F(CrashmailArea, TossedMessagesReadBackThroughTheInterface) {
  const std::string cyrillicFrom = Cp866("Иван Петров");
  const std::string cyrillicSubject = Cp866("Тема: файлы за неделю");
  const std::string cyrillicText =
      Cp866("Привет всем!\rВторая строка текста\r\rПосле пустой строки\r");
  const NetAddress point{2, 5020, 100, 7};
  const NetAddress otherZone{1, 123, 45, 0};
  Packet packet;
  packet.orig = kUplink;
  packet.dest = kOurNode;
  packet.created = {2024, 3, 5, 9, 7, 11};
  packet.messages = {
      Echomail(cyrillicFrom, cyrillicSubject, "2:5020/100 00000001", cyrillicText, kUplink),
      Echomail("Point Sender", "from a point", "2:5020/100.7 00000002", "one\rtwo\r", point),
      Netmail(point, "Point User", "Hello from a point\rline 2\r"),
      Netmail(otherZone, "Far Away", "Across zones\r"),
  };
  ASSERT_TRUE(crashmail->Toss(packet)) << crashmail->Diagnostics();

  MessageBaseHandle echo;
  ASSERT_TRUE(OpenMessageArea(AreaId("echo"), echo));
  ASSERT_EQ(echo->ActiveCount(), 2);
  echo->SeekFrom(1);
  ASSERT_TRUE(echo->Found());
  EXPECT_EQ(echo->MessageNumber(), 2);  // crashmail's areas start at 2
  echo->LoadHeader();
  EXPECT_EQ(echo->FromName(), cyrillicFrom);
  EXPECT_EQ(echo->ToName(), "All");
  EXPECT_EQ(echo->Subject(), cyrillicSubject);
  EXPECT_EQ(echo->DateText(), "03-05-24");
  EXPECT_EQ(echo->TimeText(), "09:07");
  EXPECT_FALSE(echo->IsDeleted());
  Strings lines = PlainLines(*echo);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(Strings(lines.begin(), lines.begin() + 4),
            (Strings{Cp866("Привет всем!"), Cp866("Вторая строка текста"), "",
                     Cp866("После пустой строки")}));
  EXPECT_EQ(lines[4], "---");
  echo->SeekNext();
  echo->LoadHeader();
  EXPECT_EQ(echo->FromName(), "Point Sender");
  lines = PlainLines(*echo);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "one");
  EXPECT_EQ(lines[3], " * Origin: test (2:5020/100.7)");
  echo->SeekNext();
  EXPECT_FALSE(echo->Found());

  MessageBaseHandle net;
  ASSERT_TRUE(OpenMessageArea(AreaId("net"), net));
  ASSERT_EQ(net->ActiveCount(), 2);
  struct Expected {
    std::string from;
    NetAddress orig;
    Strings text;
  } expected[] = {{"Point User", point, {"Hello from a point", "line 2"}},
                  {"Far Away", otherZone, {"Across zones"}}};
  net->SeekFrom(1);
  for (const Expected& e : expected) {
    ASSERT_TRUE(net->Found());
    net->LoadHeader();
    EXPECT_EQ(net->FromName(), e.from);
    EXPECT_EQ(net->ToName(), "Test Sysop");
    EXPECT_EQ(net->Subject(), "netmail from " + FormatNetAddress(e.orig));
    EXPECT_EQ(net->DateText(), "12-17-23");
    EXPECT_EQ(net->TimeText(), "23:59");
    EXPECT_TRUE(net->IsPrivate());
    NetAddress orig, dest;
    net->GetOrigAddress(orig);
    net->GetDestAddress(dest);
    EXPECT_EQ(orig, e.orig);
    EXPECT_EQ(dest, kOurNode);
    EXPECT_EQ(PlainLines(*net), e.text);
    net->SeekNext();
  }
}

// Posts one message the way the posting code does.
void Post(MessageBase& base, MailKind kind, const std::string& from, const std::string& to,
          const NetAddress& orig, const NetAddress& dest, const std::string& subject,
          const Strings& lines, const std::string& msgid) {
  base.StartNewMessage();
  base.SetEchoed(kind == MailKind::Echomail);
  base.SetMailKind(kind);
  base.SetFromName(from);
  base.SetToName(to);
  base.SetDateText("03-05-24");
  base.SetTimeText("09:07");
  base.SetOrigAddress(orig);
  base.SetDestAddress(dest);
  base.SetLocal(true);
  for (const std::string& line : lines) base.PutLine(line);
  base.SetSubject(subject);
  base.PutKludge("\x01MSGID: " + msgid);
  ASSERT_EQ(base.WriteMessage(), 0);
}

TEST_F(CrashmailArea, WrittenMessagesAreExportedUnchanged) {
  const Strings echoText = {Cp866("Файл: test.zip"), Cp866("Секция 1 из 2"), "",
                            "begin 644 test.zip", "M" + std::string(60, '!')};
  const NetAddress ourPoint{2, 5020, 9999, 3};
  MessageBaseHandle echo;
  ASSERT_TRUE(OpenOrCreateMessageArea(AreaId("echo"), echo));
  Post(*echo, MailKind::Echomail, Cp866("Иван Петров"), "All", ourPoint, ourPoint,
       Cp866("test.zip [1/2]"), echoText, "2:5020/9999.3 1234abcd");
  EXPECT_EQ(echo->MessageNumber(), 1);
  Post(*echo, MailKind::Echomail, Cp866("Иван Петров"), "All", ourPoint, ourPoint,
       Cp866("test.zip [2/2]"), {"end"}, "2:5020/9999.3 1234abce");
  ASSERT_EQ(crashmail->Run({"SCANAREA", "TEST.MSG"}), 0) << crashmail->Diagnostics();
  std::vector<PacketMessage> exported = crashmail->TakeExported();

  // crashmail keeps its high-water mark in 1.msg and never exports that one.
  ASSERT_EQ(exported.size(), 1u) << crashmail->Diagnostics();
  const PacketMessage& e = exported[0];
  EXPECT_EQ(e.fromName, Cp866("Иван Петров"));
  EXPECT_EQ(e.toName, "All");
  EXPECT_EQ(e.subject, Cp866("test.zip [2/2]"));
  EXPECT_EQ(e.dateTime, "05 Mar 24  09:07:00");
  EXPECT_EQ(KludgeValue(e.body, "MSGID"), "2:5020/9999.3 1234abce");
  EXPECT_EQ(TextLines(e.body), (Strings{"end"}));
  EXPECT_EQ(BodyLines(e.body).front(), "AREA:TEST.MSG");

  MessageBaseHandle net;
  ASSERT_TRUE(OpenOrCreateMessageArea(AreaId("net"), net));
  Post(*net, MailKind::Netmail, "Test Sysop", "Nobody", kOurNode, kOurNode, "high-water mark", {},
       "2:5020/9999 00000001");
  Post(*net, MailKind::Netmail, "Test Sysop", "Hub Sysop", ourPoint, kUplink, "hello uplink",
       {Cp866("Привет"), "two"}, "2:5020/9999.3 0000abcd");
  Post(*net, MailKind::Netmail, "Test Sysop", Cp866("Сисоп"), kOurNode, {2, 5020, 100, 0},
       Cp866("второе"), echoText, "2:5020/9999 0000abce");
  ASSERT_EQ(crashmail->Run({"SCANAREA", "NETMAIL"}), 0) << crashmail->Diagnostics();
  exported = crashmail->TakeExported();
  ASSERT_EQ(exported.size(), 2u) << crashmail->Diagnostics();
  std::sort(exported.begin(), exported.end(),
            [](const PacketMessage& a, const PacketMessage& b) { return a.subject < b.subject; });
  EXPECT_EQ(exported[0].subject, "hello uplink");
  EXPECT_EQ(exported[0].fromName, "Test Sysop");
  EXPECT_EQ(exported[0].toName, "Hub Sysop");
  EXPECT_EQ(exported[0].orig.net, 5020);
  EXPECT_EQ(exported[0].orig.node, 9999);
  EXPECT_EQ(exported[0].dest.node, 100);
  EXPECT_EQ(exported[0].dateTime, "05 Mar 24  09:07:00");
  EXPECT_EQ(KludgeValue(exported[0].body, "INTL"), "2:5020/100 2:5020/9999");
  EXPECT_EQ(KludgeValue(exported[0].body, "FMPT"), "3");
  EXPECT_EQ(TextLines(exported[0].body), (Strings{Cp866("Привет"), "two"}));
  EXPECT_EQ(exported[1].subject, Cp866("второе"));
  EXPECT_EQ(exported[1].toName, Cp866("Сисоп"));
  EXPECT_EQ(KludgeValue(exported[1].body, "FMPT"), std::nullopt);
  EXPECT_EQ(TextLines(exported[1].body), echoText);

  // Exported messages are marked sent and are not exported again.
  net->SeekFrom(2);
  net->LoadHeader();
  EXPECT_TRUE(net->IsSent());
  ASSERT_EQ(crashmail->Run({"SCANAREA", "NETMAIL"}), 0) << crashmail->Diagnostics();
  EXPECT_TRUE(crashmail->TakeExported().empty());
}

}  // namespace
}  // namespace vm
