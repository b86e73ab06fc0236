// Writing and reading JAM messages through the MessageBase interface.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "msgbase/jam/jam_crc.h"
#include "msgbase/jam_fixture.h"
#include "platform/file.h"
#include "text/cp866.h"

namespace vm::jamtest {
namespace {

constexpr size_t kBaseHeaderSize = 1024;
constexpr size_t kFixedSize = 76;

using JamBaseTest = JamFixture;

TEST_F(JamBaseTest, KludgesBecomeSubfieldsAndComeBackBeforeTheBody) {
  Draft draft;
  draft.text = "First line\rSecond line\r";
  draft.kludges = {"\x01MSGID: 2:5020/9999 12345678",
                   "\x01PID: Poster 1.0",
                   "\x01INTL 2:5020/1 2:5020/9999",
                   "\x01TOPT 5",
                   "\x01"
                   "FMPT 7",
                   "\x01"
                   "CHRS: CP866 2"};
  ASSERT_EQ(Post(*base_, draft), 0);

  base_->SeekFrom(1);
  ASSERT_TRUE(base_->Found());
  EXPECT_EQ(Lines(*base_),
            (std::vector<std::string>{"\x01MSGID: 2:5020/9999 12345678", "\x01PID: Poster 1.0",
                                      "\x01"
                                      "CHRS: CP866 2",
                                      "First line", "Second line"}));
  EXPECT_EQ(base_->FromName(), "John Doe");
  EXPECT_EQ(base_->ToName(), "All");
  EXPECT_EQ(base_->Subject(), "Test");
  NetAddress orig;
  base_->GetOrigAddress(orig);
  EXPECT_EQ(orig, (NetAddress{2, 5020, 9999, 0}));
  EXPECT_TRUE(base_->IsLocal());
  EXPECT_FALSE(base_->IsSent());

  // The address kludges are not stored anywhere; the header carries the MSGID's CRC, the
  // absent REPLY's 0xFFFFFFFF, and the index the CRC of the lower-cased addressee.
  std::string jhr = ReadBytes(FilePath(".jhr"));
  EXPECT_EQ(jhr.find("INTL"), std::string::npos);
  EXPECT_EQ(jhr.find("TOPT"), std::string::npos);
  EXPECT_EQ(jhr.find("FMPT"), std::string::npos);
  EXPECT_EQ(GetLe32(jhr, kBaseHeaderSize + 16), jam::JamCrc("2:5020/9999 12345678"));
  EXPECT_EQ(GetLe32(jhr, kBaseHeaderSize + 20), 0xFFFFFFFFu);
  std::string jdx = ReadBytes(FilePath(".jdx"));
  ASSERT_EQ(jdx.size(), 8u);
  EXPECT_EQ(GetLe32(jdx, 0), jam::JamCrc("all"));
  EXPECT_EQ(GetLe32(jdx, 4), kBaseHeaderSize);
}

TEST_F(JamBaseTest, HeaderFieldsFlagsAndDateRoundTrip) {
  base_->StartNewMessage();
  base_->SetMailKind(MailKind::Netmail);
  base_->SetFromName("Sender");
  base_->SetToName("Receiver");
  base_->SetOrigAddress({2, 5020, 9999, 3});
  base_->SetDestAddress({1, 2, 3, 4});
  base_->SetDateText("02-29-24");
  base_->SetTimeText("23:59");
  base_->SetPrivate(true);
  base_->SetCrash(true);
  base_->SetKillSent(true);
  base_->SetReceiptRequested(true);
  base_->SetIsReceipt(true);
  base_->SetSubject("Subject");
  base_->PutLine("Body");
  ASSERT_EQ(base_->WriteMessage(), 0);

  base_->SeekFrom(1);
  base_->LoadHeader();
  EXPECT_EQ(base_->DateText(), "02-29-24");
  EXPECT_EQ(base_->TimeText(), "23:59");
  NetAddress orig, dest;
  base_->GetOrigAddress(orig);
  base_->GetDestAddress(dest);
  EXPECT_EQ(orig, (NetAddress{2, 5020, 9999, 3}));
  EXPECT_EQ(dest, (NetAddress{1, 2, 3, 4}));
  EXPECT_TRUE(base_->IsPrivate() && base_->IsCrash() && base_->IsKillSent());
  EXPECT_TRUE(base_->IsReceiptRequested());
  EXPECT_FALSE(base_->IsReceipt());
  EXPECT_FALSE(base_->IsLocal() || base_->IsSent() || base_->IsDeleted());
  EXPECT_TRUE(base_->IsEchoed());
  std::string jhr = ReadBytes(FilePath(".jhr"));
  EXPECT_EQ(GetLe32(jhr, kBaseHeaderSize + 52) & 0x02000000u, 0x02000000u);  // netmail kind
  EXPECT_NE(jhr.find("2:5020/9999.3"), std::string::npos);
  EXPECT_NE(ReadBytes(dir_ / "NETMAIL.JAM").find(BasePath() + " 1\r\n"), std::string::npos);
  EXPECT_FALSE(dir_.Exists("ECHOMAIL.JAM"));
}

TEST_F(JamBaseTest, SettersAfterTheFirstKludgeStillCount) {
  base_->StartNewMessage();
  base_->PutKludge("\x01MSGID: 2:5020/9999 1");
  base_->SetFromName("Late Sender");
  base_->SetSubject("Late subject");
  base_->PutLine("x");
  ASSERT_EQ(base_->WriteMessage(), 0);
  base_->SeekFrom(1);
  base_->LoadHeader();
  EXPECT_EQ(base_->FromName(), "Late Sender");
  EXPECT_EQ(base_->Subject(), "Late subject");
}

TEST_F(JamBaseTest, LocalAndEchoMessagesAreListedInEchomailJam) {
  Draft report;
  report.kind = MailKind::Local;
  ASSERT_EQ(Post(*base_, report), 0);
  ASSERT_EQ(Post(*base_, Draft{}), 0);
  EXPECT_EQ(ReadBytes(dir_ / "ECHOMAIL.JAM"), BasePath() + " 1\r\n" + BasePath() + " 2\r\n");
  std::string jhr = ReadBytes(FilePath(".jhr"));
  EXPECT_EQ(GetLe32(jhr, kBaseHeaderSize + 52) & 0x03800000u, 0x00800000u);  // local kind
}

TEST_F(JamBaseTest, LongTextIsWrittenWholeAndReadBack) {
  Draft draft;
  draft.text.clear();
  std::vector<std::string> expected;
  for (int i = 0; draft.text.size() < 450000; ++i) {
    std::string line = "M" + std::string(60, static_cast<char>('A' + i % 26)) + std::to_string(i);
    draft.text += line + "\r";
    expected.push_back(line);
  }
  ASSERT_EQ(Post(*base_, draft), 0);
  EXPECT_EQ(ReadBytes(FilePath(".jdt")), draft.text);
  base_->SeekFrom(1);
  EXPECT_EQ(Lines(*base_), expected);
}

TEST_F(JamBaseTest, TextPositionsRoundTripInKludgesAndBody) {
  Draft first;
  first.text = "padding\r";
  ASSERT_EQ(Post(*base_, first), 0);
  Draft draft;
  draft.kludges = {"\x01MSGID: 2:5020/9999 abcdef01", "\x01PID: P"};
  draft.text = "one two three four\rfive\r";
  ASSERT_EQ(Post(*base_, draft), 0);

  base_->SeekFrom(2);
  base_->LoadHeader();
  base_->StartReading();
  std::vector<std::pair<int32_t, std::string>> seen;
  while (!base_->TextEnded()) {
    int32_t position = base_->TextPosition();
    std::string line = base_->NextLine(10);
    if (!line.empty()) seen.push_back({position, line});
  }
  ASSERT_GE(seen.size(), 4u);
  EXPECT_LT(seen[0].first, 0);  // inside the kludge lines
  auto body =
      std::find_if(seen.begin(), seen.end(), [](auto& s) { return s.second == "one two "; });
  ASSERT_NE(body, seen.end());
  EXPECT_EQ(body->first, 8);  // the body starts at its .JDT offset
  EXPECT_LT((body - 1)->first, 0);
  for (const auto& [position, line] : seen) {
    base_->StartReading();
    base_->SetTextPosition(position);
    EXPECT_EQ(base_->NextLine(10), line) << position;
  }
}

TEST_F(JamBaseTest, EmptyIndexSlotsAreSkippedBothWays) {
  for (const char* to : {"A", "B", "C", "D", "E"}) {
    Draft draft;
    draft.to = to;
    ASSERT_EQ(Post(*base_, draft), 0);
  }
  // Slot 2: the usual empty slot; slot 3: only the name CRC set to 0xFFFFFFFF (and the
  // header marked deleted, as the program that emptied it does); slot 4: a negative offset.
  PatchLe32(FilePath(".jdx"), 8, 0xFFFFFFFF);
  PatchLe32(FilePath(".jdx"), 12, 0xFFFFFFFF);
  PatchLe32(FilePath(".jdx"), 16, 0xFFFFFFFF);
  PatchLe32(FilePath(".jdx"), 28, 0x80000010);
  std::string jdx = ReadBytes(FilePath(".jdx"));
  std::string jhr = ReadBytes(FilePath(".jhr"));
  uint32_t third = GetLe32(jdx, 20);
  PatchLe32(FilePath(".jhr"), third + 52, GetLe32(jhr, third + 52) | 0x80000000u);

  EXPECT_EQ(Numbers(*base_), (std::vector<int32_t>{1, 5}));
  base_->SeekFrom(5);
  base_->SeekPrevious();
  EXPECT_TRUE(base_->Found());
  base_->LoadHeader();
  EXPECT_EQ(base_->MessageNumber(), 1);
  base_->SeekPrevious();
  EXPECT_FALSE(base_->Found());
  EXPECT_EQ(base_->HighActiveNumber(), 5);
}

TEST_F(JamBaseTest, MessageToNobodyIsNotMistakenForAnEmptySlot) {
  Draft draft;
  draft.to = "";
  ASSERT_EQ(Post(*base_, draft), 0);
  EXPECT_EQ(GetLe32(ReadBytes(FilePath(".jdx")), 0), 0xFFFFFFFFu);
  EXPECT_EQ(Numbers(*base_), (std::vector<int32_t>{1}));
}

TEST_F(JamBaseTest, SeeksOnEmptyBaseAndFarOutside) {
  EXPECT_EQ(base_->HighActiveNumber(), 0);
  EXPECT_EQ(base_->HighNumber(), 0);
  ASSERT_EQ(Post(*base_, Draft{}), 0);
  base_->SeekFrom(1000000);
  EXPECT_FALSE(base_->Found());
  base_->SeekPrevious();
  EXPECT_TRUE(base_->Found());
  base_->SeekFrom(-5);
  EXPECT_TRUE(base_->Found());
}

TEST_F(JamBaseTest, NestedLockKeepsTheByteUntilTheLastUnlock) {
  File other;
  ASSERT_TRUE(other.Open(FilePath(".jhr"), OpenMode::ReadWrite));
  ASSERT_TRUE(base_->Lock());
  ASSERT_TRUE(base_->Lock());
  ASSERT_TRUE(base_->Unlock());
  EXPECT_FALSE(other.LockRange(0, 1, 1));
  ASSERT_EQ(Post(*base_, Draft{}), 0);  // writes inside the caller's lock
  EXPECT_FALSE(other.LockRange(0, 1, 1));
  ASSERT_TRUE(base_->Unlock());
  EXPECT_TRUE(other.LockRange(0, 1, 1));
  EXPECT_FALSE(base_->Unlock());  // unbalanced
}

TEST_F(JamBaseTest, WriteFailsWithFiveWhileAnotherProgramHoldsTheLock) {
  File other;
  ASSERT_TRUE(other.Open(FilePath(".jhr"), OpenMode::ReadWrite));
  ASSERT_TRUE(other.LockRange(0, 1, 1));
  EXPECT_EQ(Post(*base_, Draft{}), 5);  // after the 15 s of retries
  ASSERT_TRUE(other.UnlockRange(0, 1));
  // The failed attempt left no lock level behind: the next write locks for real.
  ASSERT_EQ(Post(*base_, Draft{}), 0);
  EXPECT_TRUE(other.LockRange(0, 1, 1));
  EXPECT_EQ(Numbers(*base_), (std::vector<int32_t>{1}));
}

TEST_F(JamBaseTest, ReservedBaseHeaderBytesSurviveWrites) {
  std::string jhr = ReadBytes(FilePath(".jhr"));
  ASSERT_EQ(jhr.size(), kBaseHeaderSize);
  EXPECT_EQ(jhr.substr(0, 4), std::string("JAM\0", 4));
  EXPECT_EQ(GetLe32(jhr, 16), 0xFFFFFFFFu);
  EXPECT_EQ(GetLe32(jhr, 20), 1u);
  PatchLe32(FilePath(".jhr"), 24, 0x12345678);  // another program's high-water mark
  PatchLe32(FilePath(".jhr"), 1020, 0xCAFEBABE);
  ASSERT_EQ(Post(*base_, Draft{}), 0);
  ASSERT_EQ(Post(*base_, Draft{}), 0);
  jhr = ReadBytes(FilePath(".jhr"));
  EXPECT_EQ(GetLe32(jhr, 24), 0x12345678u);
  EXPECT_EQ(GetLe32(jhr, 1020), 0xCAFEBABEu);
  EXPECT_EQ(GetLe32(jhr, 12), 2u);  // active messages
  EXPECT_EQ(GetLe32(jhr, 8), 4u);   // modification counter
  EXPECT_EQ(base_->ActiveCount(), 2);
}

TEST_F(JamBaseTest, DeleteMarksTheHeaderOnceAndCountsDown) {
  ASSERT_EQ(Post(*base_, Draft{}), 0);
  ASSERT_EQ(Post(*base_, Draft{}), 0);
  base_->SeekFrom(1);
  base_->LoadHeader();
  base_->DeleteMessage();
  base_->DeleteMessage();
  EXPECT_EQ(base_->ActiveCount(), 1);
  base_->SeekFrom(1);
  base_->LoadHeader();
  EXPECT_TRUE(base_->IsDeleted());
  base_->DeleteMessage();
  EXPECT_EQ(base_->ActiveCount(), 1);
  // The deleted message's slot stays; the scan sees it and its deleted mark.
  EXPECT_EQ(Numbers(*base_), (std::vector<int32_t>{1, 2}));
}

TEST_F(JamBaseTest, RewriteHeaderChangesTheFixedPartInPlace) {
  ASSERT_EQ(Post(*base_, Draft{}), 0);
  base_->SeekFrom(1);
  base_->LoadHeader();
  base_->SetSent(true);
  base_->SetReplyTo(77);
  base_->RewriteHeader();
  base_->SeekFrom(1);
  base_->LoadHeader();
  EXPECT_TRUE(base_->IsSent());
  EXPECT_EQ(base_->ReplyTo(), 77);
  EXPECT_EQ(base_->FromName(), "John Doe");
}

TEST(JamFactoryTest, OpenFailsOnMissingOrForeignBases) {
  ScopedTempDir dir;
  MessageBaseHandle base;
  EXPECT_FALSE(OpenMessageArea("J" + (dir / "NONE"), base));
  EXPECT_EQ(base, nullptr);
  dir.WriteFile("BAD.jhr", std::string(1024, 'x'));
  dir.WriteFile("BAD.jdt", "");
  dir.WriteFile("BAD.jdx", "");
  EXPECT_FALSE(OpenMessageArea("j" + (dir / "BAD"), base));
  // A damaged base is not overwritten by creating a new one over it.
  EXPECT_FALSE(OpenOrCreateMessageArea("J" + (dir / "BAD"), base));
  EXPECT_EQ(dir.ReadFile("BAD.jhr"), std::string(1024, 'x'));
  // Creating makes the missing directories.
  EXPECT_TRUE(OpenOrCreateMessageArea("J" + (dir / "new/sub/AREA"), base));
  EXPECT_TRUE(dir.Exists("new/sub/AREA.jdx"));
  ASSERT_EQ(Post(*base, Draft{}), 0);
  EXPECT_TRUE(CloseMessageArea(base));
  // A base made elsewhere with upper-case names opens all the same.
  for (const char* extension : {"jhr", "jdt", "jdx", "jlr"}) {
    std::filesystem::rename(dir / ("new/sub/AREA." + std::string(extension)),
                            dir / ("new/sub/AREA." + UpCaseAscii(extension)));
  }
  ASSERT_TRUE(OpenMessageArea("J" + (dir / "new/sub/area"), base));
  EXPECT_EQ(Numbers(*base), (std::vector<int32_t>{1}));
}

}  // namespace
}  // namespace vm::jamtest
