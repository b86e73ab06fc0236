// Fido *.MSG directories: numbering, header and kludge reading, writing, damaged files.
#include "msgbase/fido/fido_msg_base.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "fido_message_file.h"
#include "msgbase/message_base.h"
#include "support/platform_temp_dir.h"

namespace vm {
namespace {

using fidotest::MsgFile;
using fidotest::WithDate;
using fidotest::WithSubject;
using fidotest::WithText;
using namespace std::string_literals;

class FidoArea : public ::testing::Test {
 protected:
  std::string AreaId() const { return "F" + dir.path() + "/area"; }
  void Put(const std::string& name, const std::string& bytes) {
    dir.WriteFile("area/" + name, bytes);
  }
  std::string Get(const std::string& name) const { return dir.ReadFile("area/" + name); }
  bool Has(const std::string& name) const { return dir.Exists("area/" + name); }

  FidoMsgBase& Open() {
    dir.MakeDirectory("area");
    EXPECT_TRUE(OpenMessageArea(AreaId(), base));
    return dynamic_cast<FidoMsgBase&>(*base);
  }
  // Seeks message n, loads its header and starts reading its text.
  void Load(int32_t n) {
    base->SeekFrom(n);
    ASSERT_EQ(base->MessageNumber(), n);
    base->LoadHeader();
    base->StartReading();
  }
  std::vector<std::string> ReadAll() {
    std::vector<std::string> lines;
    while (!base->TextEnded()) lines.push_back(base->NextLine(255));
    return lines;
  }
  std::vector<std::string> AreaFiles() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path() + "/area"))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // Posts a message the way the posting code does.
  uint16_t Post(MailKind kind, const NetAddress& orig, const NetAddress& dest,
                const std::string& text) {
    base->StartNewMessage();
    base->SetEchoed(kind != MailKind::Netmail);
    base->SetMailKind(kind);
    base->SetFromName("Ivan Petrov");
    base->SetToName("All");
    base->SetDateText("03-05-24");
    base->SetTimeText("09:07");
    base->SetOrigAddress(orig);
    base->SetDestAddress(dest);
    base->SetLocal(true);
    base->PutLine(text);
    base->SetSubject("test.zip 1/2");
    base->PutKludge("\x01MSGID: 2:5020/1 12345678");
    return base->WriteMessage();
  }

  ScopedTempDir dir;
  MessageBaseHandle base;
};

using Strings = std::vector<std::string>;

TEST_F(FidoArea, NumbersComeFromNamesOneTo31999InAnyCase) {
  for (std::string name : {"abc.MSG", "0.MSG", "32000.MSG", "31999.MSG", "5.msg", "12.Msg", "7.txt",
                           "9.MSG.bak", "x5.msg", "-3.msg"})
    Put(name, WithSubject(name).Bytes());
  dir.MakeDirectory("area/8.msg");
  Open();
  EXPECT_EQ(base->ActiveCount(), 3);
  EXPECT_EQ(base->HighNumber(), 31999);
  std::vector<int32_t> seen;
  for (base->SeekFrom(0); base->Found(); base->SeekNext()) seen.push_back(base->MessageNumber());
  EXPECT_EQ(seen, (std::vector<int32_t>{5, 12, 31999}));
  Load(31999);
  EXPECT_EQ(base->Subject(), "31999.MSG");
  Load(12);
  EXPECT_EQ(base->Subject(), "12.Msg");
  base->SeekPrevious();
  EXPECT_EQ(base->MessageNumber(), 5);
  base->SeekPrevious();
  EXPECT_FALSE(base->Found());
  base->SeekFrom(13);
  EXPECT_EQ(base->MessageNumber(), 31999);
  base->SeekFrom(32000);
  EXPECT_FALSE(base->Found());
}

TEST_F(FidoArea, HeaderFieldsEndAtTheirZeroByte) {
  MsgFile m;
  m.from = "Ivan\0garbage"s;  // other programs leave bytes after the zero
  m.to = "Petr Sidorov";
  m.subject = "Re: file\0\x7F\x01zz"s;
  m.origNet = 5020;
  m.origNode = 77;
  m.destNet = 463;
  m.destNode = 3;
  m.attributes = 0x0100 | 0x0008 | 0x0001;
  m.replyTo = 4;
  m.seeAlso = 9;
  m.cost = 12;
  Put("1.msg", m.Bytes());
  FidoMsgBase& fido = Open();
  Load(1);
  EXPECT_EQ(base->FromName(), "Ivan");
  EXPECT_EQ(base->ToName(), "Petr Sidorov");
  EXPECT_EQ(base->Subject(), "Re: file");
  EXPECT_EQ(base->ReplyTo(), 4);
  EXPECT_EQ(base->SeeAlso(), 9);
  EXPECT_EQ(base->Cost(), 12);
  EXPECT_TRUE(base->IsLocal());
  EXPECT_TRUE(base->IsSent());
  EXPECT_TRUE(base->IsPrivate());
  EXPECT_FALSE(base->IsCrash());
  EXPECT_FALSE(base->IsReceived());
  EXPECT_TRUE(base->IsEchoed());
  EXPECT_FALSE(base->IsDeleted());
  NetAddress orig, dest;
  base->GetOrigAddress(orig);
  base->GetDestAddress(dest);
  EXPECT_EQ(orig, (NetAddress{1, 5020, 77, 0}));
  EXPECT_EQ(dest, (NetAddress{1, 463, 3, 0}));
  fido.SetDefaultZone(2);
  base->LoadHeader();
  base->GetOrigAddress(orig);
  EXPECT_EQ(orig.zone, 2);
}

TEST_F(FidoArea, TextEndsAtTheFirstZeroByteAndPositionsAreFileOffsets) {
  Put("1.msg", WithText("line one\rline two\r\0after\r"s).Bytes());
  Put("2.msg", WithText("").Bytes());
  Put("3.msg", WithText("no zero byte at all").Bytes());
  Open();
  Load(1);
  EXPECT_EQ(base->TextPosition(), 190);
  EXPECT_EQ(base->NextLine(255), "line one");
  EXPECT_EQ(base->TextPosition(), 199);
  EXPECT_EQ(ReadAll(), (Strings{"line two", ""}));
  // Back to a remembered place of the same message.
  Load(1);
  base->SetTextPosition(199);
  EXPECT_EQ(base->NextLine(255), "line two");
  Load(2);
  EXPECT_EQ(ReadAll(), (Strings{""}));
  Load(3);
  EXPECT_EQ(ReadAll(), (Strings{"no zero byte at all"}));
}

TEST_F(FidoArea, DateFieldForms) {
  struct Case {
    std::string field, date, time;
  } cases[] = {
      {"01 jan 99  12:30:00", "01-01-99", "12:30"},
      {"Tue  5 Jan 99 12:30", "01-05-99", "12:30"},
      {"17 Dec 23 08:05:09", "12-17-23", "08:05"},
      {"06-02-1989 23:59", "02-06-89", "23:59"},
      {"01 Xyz 99  12:30:00", "01-01-99", "12:30"},  // unknown month name: January
      {" 1 Feb  0   1:02:00", "02-01-00", "01:02"},  // blanks become zeros
      {"01 Jan 99", "09-06-89", "19:76"},            // no time
      {"", "09-06-89", "19:76"},
      {"garbage", "09-06-89", "19:76"},
      {std::string(20, '\xFF'), "09-06-89", "19:76"},
  };
  for (size_t i = 0; i < std::size(cases); ++i)
    Put(std::to_string(i + 1) + ".msg", WithDate(cases[i].field).Bytes());
  Open();
  for (size_t i = 0; i < std::size(cases); ++i) {
    Load(static_cast<int32_t>(i + 1));
    EXPECT_EQ(base->DateText(), cases[i].date) << cases[i].field;
    EXPECT_EQ(base->TimeText(), cases[i].time) << cases[i].field;
  }
}

TEST_F(FidoArea, AddressKludgesSetZonesAndPoints) {
  MsgFile netmail = WithText(
      "\x01"
      "FMPT 5\r\x01INTL 1:100/2 2:5000/1\r\x01TOPT 7\rHello\r\0"s);
  netmail.origNet = 5000;
  netmail.origNode = 1;
  netmail.destNet = 100;
  netmail.destNode = 2;
  Put("1.msg", netmail.Bytes());
  // Plain lines count too, keywords in any case, after a line feed; bad numbers are ignored.
  Put("2.msg", WithText("text\r\nintl 3:1/1 4:2/2\rFmpt x\rTOPT 9\r\0"s).Bytes());
  // An INTL line longer than the 128 bytes read for kludges is still read by its words.
  Put("3.msg", WithText("\x01INTL 5:1/1 6:2/2 " + std::string(200, 'x') + "\r").Bytes());
  Open();
  NetAddress orig, dest;
  Load(1);
  base->GetOrigAddress(orig);
  base->GetDestAddress(dest);
  EXPECT_EQ(orig, (NetAddress{2, 5000, 1, 5}));
  EXPECT_EQ(dest, (NetAddress{1, 100, 2, 7}));
  EXPECT_EQ(ReadAll(), (Strings{"\x01"
                                "FMPT 5",
                                "\x01INTL 1:100/2 2:5000/1", "\x01TOPT 7", "Hello", ""}));
  Load(2);
  base->GetOrigAddress(orig);
  base->GetDestAddress(dest);
  EXPECT_EQ(orig, (NetAddress{4, 5020, 1, 0}));
  EXPECT_EQ(dest, (NetAddress{3, 5020, 2, 9}));
  Load(3);
  base->GetOrigAddress(orig);
  EXPECT_EQ(orig.zone, 6);
}

TEST_F(FidoArea, WithoutIntlTheMsgidOrTheNodesOwnZonePlacesTheMessage) {
  // The header says 5020/1 to 5020/2; the node reading the area is in zone 2.
  struct Case {
    std::string text;
    NetAddress orig, dest;
  } cases[] = {
      // Echomail as this program and most editors write it: MSGID, no INTL.
      {"\x01MSGID: 3:5020/1 1234abcd\rHello\r", {3, 5020, 1, 0}, {3, 5020, 2, 0}},
      // Nothing names a zone: the node's own.
      {"Hello\r", {2, 5020, 1, 0}, {2, 5020, 2, 0}},
      // INTL wins over the MSGID, for each zone it gives.
      {"\x01MSGID: 3:5020/1 1\r\x01INTL 4:5020/2 5:5020/1\r", {5, 5020, 1, 0}, {4, 5020, 2, 0}},
      {"\x01MSGID: 3:5020/1 1\r\x01INTL 4:5020/2\r", {3, 5020, 1, 0}, {4, 5020, 2, 0}},
      // A point in the MSGID of the header's node; FMPT wins; another node's point is not ours.
      {"\x01MSGID: 3:5020/1.7@fidonet 1\r", {3, 5020, 1, 7}, {3, 5020, 2, 0}},
      {"\x01MSGID: 3:5020/1.7 1\r\x01"
       "FMPT 8\r",
       {3, 5020, 1, 8},
       {3, 5020, 2, 0}},
      {"\x01MSGID: 3:5020/9.7 1\r", {3, 5020, 1, 0}, {3, 5020, 2, 0}},
      // Origins without a zone, or not FidoNet addresses, say nothing; the first MSGID counts;
      // a plain line is no MSGID.
      {"\x01MSGID: 5020/1 1\r", {2, 5020, 1, 0}, {2, 5020, 2, 0}},
      {"\x01MSGID: <abc@example.org> 1\r", {2, 5020, 1, 0}, {2, 5020, 2, 0}},
      {"\x01MSGID: 0:5020/1 1\r", {2, 5020, 1, 0}, {2, 5020, 2, 0}},
      {"\x01msgid: 3:5020/1 1\r\x01MSGID: 4:5020/1 1\r", {3, 5020, 1, 0}, {3, 5020, 2, 0}},
      {"MSGID: 3:5020/1 1\r", {2, 5020, 1, 0}, {2, 5020, 2, 0}},
  };
  for (size_t i = 0; i < std::size(cases); ++i)
    Put(std::to_string(i + 1) + ".msg", WithText(cases[i].text + "\0"s).Bytes());
  FidoMsgBase& fido = Open();
  fido.SetDefaultZone(2);
  for (size_t i = 0; i < std::size(cases); ++i) {
    Load(static_cast<int32_t>(i + 1));
    NetAddress orig, dest;
    base->GetOrigAddress(orig);
    base->GetDestAddress(dest);
    EXPECT_EQ(orig, cases[i].orig) << cases[i].text;
    EXPECT_EQ(dest, cases[i].dest) << cases[i].text;
  }
}

TEST_F(FidoArea, EveryLineOfALongTextIsTestedForAddressKludges) {
  // Encoded lines, and plain lines starting with the kludges' letters, before the kludges.
  std::string text;
  for (int i = 0; i < 500; ++i) text += "M" + std::string(60, 'I') + "\r";
  text += "Images follow\rTOPTX\r INTL 5:5/5 5:5/5\r\x01\x01INTL 7:1/1 7:2/2\r";
  // Soft returns and line feeds around the 0x01 are dropped as the line reader drops them.
  text +=
      "\x8D\x01\n\x8D"
      "FMPT 4\r";
  // The last line has no carriage return and the file no closing zero byte.
  text += "intl 9:1/1 8:2/2";
  Put("1.msg", WithText(text).Bytes());
  Open();
  Load(1);
  NetAddress orig, dest;
  base->GetOrigAddress(orig);
  base->GetDestAddress(dest);
  EXPECT_EQ(orig, (NetAddress{8, 5020, 1, 4}));
  EXPECT_EQ(dest, (NetAddress{9, 5020, 2, 0}));
}

TEST_F(FidoArea, DamagedFilesGiveEmptyFieldsAndAnEmptyText) {
  Put("1.msg", "");
  Put("2.msg", MsgFile{}.Bytes().substr(0, 100));
  Put("3.msg", MsgFile{}.Bytes());
  Put("4.msg", MsgFile{}.Bytes());
  Put("6.msg", MsgFile{}.Bytes().substr(0, 190));  // a header and no text: not damaged
  // A FIFO: opening it to read would wait for a writer for ever.
  ASSERT_EQ(mkfifo((dir.path() + "/area/5.msg").c_str(), 0600), 0);
  Open();
  const std::string areaDir = dir.path() + "/area\\";
  for (int32_t n : {1, 2}) {
    Load(n);
    EXPECT_EQ(base->FromName(), "");
    EXPECT_EQ(base->Subject(), "");
    EXPECT_EQ(ReadAll(), (Strings{""}));
    EXPECT_EQ(base->DamagedMessageFile(), areaDir + std::to_string(n) + ".msg");
  }
  // Gone between Open and LoadHeader, or not readable as a file.
  std::filesystem::remove(dir.path() + "/area/3.msg");
  std::filesystem::remove(dir.path() + "/area/4.msg");
  dir.MakeDirectory("area/4.msg");
  for (int32_t n : {3, 4, 5}) {
    Load(n);
    EXPECT_EQ(dynamic_cast<FidoMsgBase&>(*base).Status(),
              n == 3 ? FidoMsgBase::kStatusMissing : FidoMsgBase::kStatusUnreadable);
    EXPECT_EQ(base->FromName(), "");
    EXPECT_EQ(base->DateText(), "");
    EXPECT_EQ(ReadAll(), (Strings{""}));
    EXPECT_EQ(base->DamagedMessageFile(), n == 3 ? "" : areaDir + std::to_string(n) + ".msg");
  }
  Load(6);
  EXPECT_EQ(base->DamagedMessageFile(), "");
  Load(3);
  EXPECT_TRUE(base->IsDeleted());
}

TEST_F(FidoArea, TemporariesOfKilledWritersGoWhenTheAreaIsOpened) {
  Put("1.msg", MsgFile{}.Bytes());
  const auto age = [&](const std::string& name) {
    const auto path = std::filesystem::path(dir.path()) / "area" / name;
    std::filesystem::last_write_time(
        path, std::filesystem::last_write_time(path) - std::chrono::hours(2));
  };
  // Another run composing a message, for hours now: the message is in its memory, and no
  // file of it is in the directory until it is written.
  MessageBaseHandle writer;
  ASSERT_TRUE(OpenMessageArea(AreaId(), writer));
  writer->StartNewMessage();
  ASSERT_EQ(AreaFiles(), (Strings{"1.msg"}));
  Put("VM00BEEF.TMP", "left by a killed run");
  age("VM00BEEF.TMP");
  Put("VM00CAFE.TMP", "just made by a run that is still to claim it");
  Open();
  EXPECT_EQ(AreaFiles(), (Strings{"1.msg", "VM00CAFE.TMP"}));
  writer->PutLine("written at last");
  EXPECT_EQ(writer->WriteMessage(), 0);
  EXPECT_EQ(AreaFiles(), (Strings{"1.msg", "2.msg", "VM00CAFE.TMP"}));
}

TEST_F(FidoArea, UnreadableFileGivesEmptyFields) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads files without permission";
  Put("1.msg", MsgFile{}.Bytes());
  ::chmod((dir.path() + "/area/1.msg").c_str(), 0);
  Open();
  Load(1);
  EXPECT_EQ(dynamic_cast<FidoMsgBase&>(*base).Status(), FidoMsgBase::kStatusUnreadable);
  EXPECT_EQ(base->FromName(), "");
  EXPECT_EQ(ReadAll(), (Strings{""}));
}

TEST_F(FidoArea, WrittenMessageHasEveryFieldInPlace) {
  Open();
  base->StartNewMessage();
  base->SetMailKind(MailKind::Echomail);
  base->SetFromName(std::string(40, 'F'));
  base->SetToName("All");
  base->SetSubject(std::string(80, 'S'));
  base->SetDateText("03-05-24");
  base->SetTimeText("09:07");
  base->SetOrigAddress({2, 5020, 1, 3});
  base->SetDestAddress({2, 5020, 0, 0});
  base->SetLocal(true);
  base->SetCrash(true);
  base->SetCrash(false);
  base->SetKillSent(true);
  base->SetCost(7);
  base->SetReplyTo(3);
  base->PutLine("Hello");
  base->PutText("World");
  base->PutChar('!');
  ASSERT_EQ(base->WriteMessage(), 0);
  EXPECT_EQ(base->MessageNumber(), 1);
  EXPECT_EQ(AreaFiles(), (Strings{"1.msg"}));

  std::string bytes = Get("1.msg");
  ASSERT_EQ(bytes.size(), 190u + 13u);
  EXPECT_EQ(bytes.substr(0, 36), std::string(35, 'F') + '\0');
  EXPECT_EQ(bytes.substr(72, 72), std::string(71, 'S') + '\0');
  EXPECT_EQ(bytes.substr(144, 20), "05 Mar 24  09:07:00"s + '\0');
  EXPECT_EQ(GetLe16(bytes, 176), ((2024 - 1980) << 9) | (3 << 5) | 5);
  EXPECT_EQ(GetLe16(bytes, 178), (9 << 11) | (7 << 5));
  EXPECT_NE(GetLe16(bytes, 180), 0);  // date arrived: today
  EXPECT_EQ(GetLe16(bytes, 172), 5020);
  EXPECT_EQ(GetLe16(bytes, 168), 1);
  EXPECT_EQ(GetLe16(bytes, 170), 7);
  EXPECT_EQ(GetLe16(bytes, 184), 3);
  EXPECT_EQ(GetLe16(bytes, 186), 0x0100 | 0x0080);
  EXPECT_EQ(bytes.substr(190), "Hello\rWorld!\0"s);

  // And back through a fresh object.
  MessageBaseHandle again;
  ASSERT_TRUE(OpenMessageArea(AreaId(), again));
  again->SeekFrom(1);
  again->LoadHeader();
  EXPECT_EQ(again->Subject(), std::string(71, 'S'));
  EXPECT_EQ(again->DateText(), "03-05-24");
  EXPECT_EQ(again->TimeText(), "09:07");
  EXPECT_TRUE(again->IsLocal());
  EXPECT_TRUE(again->IsKillSent());
  EXPECT_FALSE(again->IsCrash());
}

TEST_F(FidoArea, NetmailFromAPointStartsWithFmptThenIntl) {
  Open();
  ASSERT_EQ(Post(MailKind::Netmail, {2, 5000, 1, 5}, {1, 100, 2, 0}, "Body"), 0);
  EXPECT_EQ(Get("1.msg").substr(190),
            "\x01"
            "FMPT 5\r\x01INTL 1:100/2 2:5000/1\rBody\r\x01MSGID: 2:5020/1 12345678\r\0"s);
  ASSERT_EQ(Post(MailKind::Netmail, {2, 5000, 1, 0}, {2, 5000, 1, 9}, "Body"), 0);
  EXPECT_EQ(Get("2.msg").substr(190, 32), "\x01TOPT 9\r\x01INTL 2:5000/1 2:5000/1\r"s);
  ASSERT_EQ(Post(MailKind::Echomail, {2, 5000, 1, 5}, {1, 100, 2, 3}, "Body"), 0);
  EXPECT_EQ(Get("3.msg").substr(190, 5), "Body\r");

  // Read back, the kludges give zones and points.
  Load(1);
  NetAddress orig, dest;
  base->GetOrigAddress(orig);
  base->GetDestAddress(dest);
  EXPECT_EQ(orig, (NetAddress{2, 5000, 1, 5}));
  EXPECT_EQ(dest, (NetAddress{1, 100, 2, 0}));
}

TEST_F(FidoArea, KludgeSetAfterTextStartsOnALineOfItsOwn) {
  Open();
  base->StartNewMessage();
  base->SetMailKind(MailKind::Netmail);
  base->PutText("unfinished");
  base->SetOrigAddress({2, 5000, 1, 5});
  ASSERT_EQ(base->WriteMessage(), 0);
  EXPECT_EQ(Get("1.msg").substr(190),
            "unfinished\r\x01"
            "FMPT 5\r\0"s);
}

TEST_F(FidoArea, WritingTakesAFreshNumberWhenAnotherProgramWroteOne) {
  Put("1.msg", WithSubject("one").Bytes());
  Open();
  // A tosser writes 2.msg and 3.MSG after the area was opened.
  Put("2.msg", WithSubject("two").Bytes());
  Put("3.MSG", WithSubject("three").Bytes());
  ASSERT_EQ(Post(MailKind::Echomail, {2, 5020, 1, 0}, {}, "mine"), 0);
  EXPECT_EQ(base->MessageNumber(), 4);
  EXPECT_EQ(AreaFiles(), (Strings{"1.msg", "2.msg", "3.MSG", "4.msg"}));
  EXPECT_EQ(base->ActiveCount(), 4);
  Load(2);
  EXPECT_EQ(base->Subject(), "two");
  Load(4);
  EXPECT_EQ(base->Subject(), "test.zip 1/2");
}

TEST_F(FidoArea, NumbersAnotherProgramWritesBetweenOursAreNotTakenAgain) {
  Open();
  ASSERT_EQ(Post(MailKind::Echomail, {2, 5020, 1, 0}, {}, "first"), 0);
  // While the posting goes on, a tosser writes the next numbers in its own spellings, one of
  // them by a rename from a name of its own.
  Put("2.MSG", WithSubject("two").Bytes());
  Put("tosser.tmp", WithSubject("three").Bytes());
  std::filesystem::rename(dir.path() + "/area/tosser.tmp", dir.path() + "/area/3.Msg");
  ASSERT_EQ(Post(MailKind::Echomail, {2, 5020, 1, 0}, {}, "second"), 0);
  EXPECT_EQ(base->MessageNumber(), 4);
  Put("5.MSG", WithSubject("five").Bytes());
  ASSERT_EQ(Post(MailKind::Echomail, {2, 5020, 1, 0}, {}, "third"), 0);
  EXPECT_EQ(base->MessageNumber(), 6);
  EXPECT_EQ(AreaFiles(), (Strings{"1.msg", "2.MSG", "3.Msg", "4.msg", "5.MSG", "6.msg"}));
}

TEST_F(FidoArea, AreaFullRefusesToWriteAnUnreadableNumber) {
  Put("31999.msg", MsgFile{}.Bytes());
  Open();
  EXPECT_EQ(Post(MailKind::Echomail, {2, 5020, 1, 0}, {}, "x"), FidoMsgBase::kWriteAreaFull);
  EXPECT_EQ(AreaFiles(), (Strings{"31999.msg"}));
}

TEST_F(FidoArea, ComposedMessageThatIsNotWrittenLeavesNothingBehind) {
  Put("1.msg", MsgFile{}.Bytes());
  Open();
  base->StartNewMessage();
  base->PutLine("dropped");
  EXPECT_EQ(AreaFiles(), (Strings{"1.msg"}));  // composed in memory
  base->StartNewMessage();
  Load(1);
  EXPECT_EQ(AreaFiles(), (Strings{"1.msg"}));
  base->StartNewMessage();
  DisposeMessageBase(base);
  EXPECT_EQ(AreaFiles(), (Strings{"1.msg"}));
}

TEST_F(FidoArea, DeleteMessageErasesTheFileAndTheNumber) {
  Put("1.msg", MsgFile{}.Bytes());
  Put("2.MSG", MsgFile{}.Bytes());
  Open();
  Load(2);
  base->DeleteMessage();
  EXPECT_TRUE(base->IsDeleted());
  EXPECT_EQ(AreaFiles(), (Strings{"1.msg"}));
  EXPECT_EQ(base->ActiveCount(), 1);
  EXPECT_EQ(base->HighActiveNumber(), 1);
}

TEST_F(FidoArea, IsDeletedFollowsTheFileWhoeverDeletesIt) {
  for (const char* name : {"1.msg", "2.msg", "3.msg"}) Put(name, MsgFile{}.Bytes());
  Open();
  Load(1);
  EXPECT_FALSE(base->IsDeleted());
  std::filesystem::remove(dir.path() + "/area/1.msg");  // by another program
  EXPECT_TRUE(base->IsDeleted());
  // Rewritten under the same name by another program after loading: still a message there.
  Load(2);
  std::filesystem::remove(dir.path() + "/area/2.msg");
  Put("2.msg", WithSubject("again").Bytes());
  EXPECT_FALSE(base->IsDeleted());
  // A message that was never loaded is looked for by its name.
  base->SeekNext();
  ASSERT_EQ(base->MessageNumber(), 3);
  EXPECT_FALSE(base->IsDeleted());
  std::filesystem::remove(dir.path() + "/area/3.msg");
  EXPECT_TRUE(base->IsDeleted());
  // Back at the loaded message 2, which was not deleted.
  base->SetLocation(2);
  EXPECT_FALSE(base->IsDeleted());
}

TEST_F(FidoArea, LastReadSlotsPerUser) {
  Open();
  EXPECT_EQ(base->GetLastRead(0), 0);
  Put("lastread", "\x05\x00"s);  // another program's file, in its own case
  EXPECT_EQ(base->GetLastRead(0), 5);
  EXPECT_EQ(base->GetLastRead(1), 0);  // beyond the end of the file
  base->SetLastRead(3, 0x1234);
  EXPECT_EQ(Get("lastread"), "\x05\x00\x00\x00\x00\x00\x34\x12"s);
  EXPECT_EQ(base->GetLastRead(3), 0x1234);
  EXPECT_EQ(base->GetLastRead(2), 0);
  EXPECT_EQ(base->GetLastRead(100000), 0);
}

}  // namespace
}  // namespace vm
