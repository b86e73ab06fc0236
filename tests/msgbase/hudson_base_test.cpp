// Hudson bases against an independent reader and writer of the format, the locator and the
// file check, a creation cut short, texts longer than any fixed buffer, damaged bases refused
// for writing, the lock bytes and two processes writing to one base.
#include "msgbase/hudson/hudson_base.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/hudson_reference.h"
#include "support/platform_temp_dir.h"

namespace vm {
namespace {

namespace fs = std::filesystem;
using test::HudsonMessage;

const char* const kFiles[] = {"MSGINFO.BBS", "MSGIDX.BBS", "MSGTOIDX.BBS", "MSGHDR.BBS",
                              "MSGTXT.BBS"};

// Text of `lines` numbered lines of `width` bytes each, ended with CR.
std::string LongText(int lines, size_t width) {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    std::string line = std::to_string(i) + ":";
    text += line + std::string(width - line.size(), 'a' + i % 26) + "\r";
  }
  return text;
}

int32_t Post(MessageBase& base, const std::string& text, MailKind kind = MailKind::Echomail,
             const NetAddress& dest = {}) {
  base.StartNewMessage();
  base.SetMailKind(kind);
  base.SetEchoed(kind != MailKind::Local);
  base.SetFromName("Sysop");
  base.SetToName("All");
  base.SetDateText("03-01-26");
  base.SetTimeText("9:05");
  base.SetOrigAddress({2, 5020, 100, 0});
  base.SetDestAddress(dest);
  base.SetLocal(true);
  base.PutText(text);
  base.SetSubject("test");
  EXPECT_EQ(base.WriteMessage(), 0);
  return base.MessageNumber();
}

std::string ReadText(MessageBase& base, int32_t number) {
  base.SeekFrom(number);
  if (!base.Found() || base.MessageNumber() != number) return "<not found>";
  base.LoadHeader();
  base.StartReading();
  std::string text;
  while (!base.TextEnded()) {
    std::string line = base.NextLine(255);
    if (base.TextEnded() && line.empty()) break;
    text += line + (base.LineWasWrapped() ? "" : "\r");
  }
  return text;
}

class HudsonTest : public ::testing::Test {
 protected:
  std::string AreaId(int board) const {
    char number[8];
    std::snprintf(number, sizeof number, "%03d", board);
    return std::string("H") + number + dir_.path();
  }
  MessageBaseHandle OpenBoard(int board) const {
    MessageBaseHandle base;
    EXPECT_TRUE(OpenOrCreateMessageArea(AreaId(board), base));
    return base;
  }
  std::string Bytes(const char* name) const { return dir_.ReadFile(name); }

  ScopedTempDir dir_;
};

TEST_F(HudsonTest, ReferenceWriterAndThisBaseReadEachOther) {
  test::CreateHudsonBase(dir_.path());
  HudsonMessage theirs;
  theirs.area = 7;
  theirs.from = "Ivan Petrov";
  theirs.subject = "long one";
  theirs.text = LongText(200, 120);  // 95 records: past any 64-record buffer
  theirs.origZone = 2;
  theirs.origNet = 5030;
  theirs.origNode = 7;
  theirs.msgAttr = 0x40 | 0x80;  // 0x80 is another program's
  test::AppendHudsonMessage(dir_.path(), theirs);

  MessageBaseHandle base = OpenBoard(7);
  EXPECT_EQ(ReadText(*base, 1), theirs.text);
  EXPECT_EQ(base->FromName(), "Ivan Petrov");
  NetAddress orig;
  base->GetOrigAddress(orig);
  EXPECT_EQ(orig, (NetAddress{2, 5030, 7, 0}));
  // A text far longer than 64 records is written whole, for the reference reader too.
  const std::string ours = LongText(300, 200);
  ASSERT_EQ(Post(*base, ours, MailKind::Netmail, {2, 5020, 1, 5}), 2);
  CloseMessageArea(base);

  std::vector<HudsonMessage> all = test::ReadHudsonMessages(dir_.path());
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[1].text, "\x01TOPT 5\r" + ours);
  EXPECT_EQ(all[1].area, 7);
  EXPECT_EQ(all[1].date, "03-01-26");
  EXPECT_EQ(all[1].time, "09:05");
  EXPECT_EQ(all[1].msgAttr, 0x40 | 0x04 | 0x02);  // local, netmail, to be exported
  EXPECT_EQ(all[1].destNode, 1);
  EXPECT_EQ(test::ReadHudsonList(dir_ / "NETMAIL.BBS"), (std::vector<uint16_t>{1}));
  test::HudsonInfo info = test::ReadHudsonInfo(dir_.path());
  EXPECT_EQ(info.highMsg, 2);
  EXPECT_EQ(info.active, 2);
  EXPECT_EQ(info.areaActive[6], 2);

  // Deleting keeps the other program's attribute bit and lowers the counts once.
  base = OpenBoard(7);
  base->SeekFrom(1);
  base->LoadHeader();
  base->DeleteMessage();
  base->DeleteMessage();
  CloseMessageArea(base);
  all = test::ReadHudsonMessages(dir_.path());
  EXPECT_EQ(all[0].msgNum, 0xFFFF);
  EXPECT_EQ(all[0].msgAttr, 0x40 | 0x80 | 0x01);
  EXPECT_EQ(all[0].toIndex, "* Deleted *");
  info = test::ReadHudsonInfo(dir_.path());
  EXPECT_EQ(info.active, 1);
  EXPECT_EQ(info.areaActive[6], 1);
}

TEST_F(HudsonTest, LocatorAndFileCheck) {
  struct Case {
    std::string locator;
    uint16_t open;
  };
  // Only the first three characters are the board: "1C:" names none.
  const Case cases[] = {{"001", 0},    {" 12", 0},    {"200", 0},
                        {"000", 5001}, {"201", 5001}, {"1" + std::string("C:"), 5001}};
  for (const Case& c : cases) {
    HudsonBase base;
    base.SetAreaPath(c.locator + dir_.path());
    EXPECT_EQ(base.Open(), c.open) << c.locator;
  }
  // The first open made the base: lowest number 1, nothing else.
  EXPECT_EQ(Bytes("MSGINFO.BBS"), std::string(1, '\1') + std::string(405, '\0'));

  // A partial set is refused and not made anew. Record files of different lengths are read,
  // but not written to unless the difference is a message a kill left half appended.
  fs::remove(dir_ / "MSGTOIDX.BBS");
  HudsonBase base;
  base.SetAreaPath("001" + dir_.path());
  EXPECT_EQ(base.Open(), HudsonBase::kInconsistent);
  EXPECT_FALSE(fs::exists(dir_ / "MSGTOIDX.BBS"));
  dir_.WriteFile("MSGTOIDX.BBS", std::string(36, 'x'));
  EXPECT_EQ(base.Open(), 0);
  EXPECT_EQ(base.Mend(), HudsonBase::kInconsistent);
  EXPECT_EQ(base.StatusReason().empty(), false);
  EXPECT_EQ(Bytes("MSGTOIDX.BBS"), std::string(36, 'x'));
}

// A kill while the base was being made leaves some of the files, all empty: the next open
// finishes the base instead of refusing it for good. A finished info record with files
// missing is somebody's base half gone, and stays refused (above).
TEST_F(HudsonTest, CreationCutShortIsFinished) {
  const std::vector<std::vector<const char*>> leftBehind = {
      {"MSGINFO.BBS"},
      {"MSGIDX.BBS", "MSGTOIDX.BBS"},
      {"MSGIDX.BBS", "MSGTOIDX.BBS", "MSGHDR.BBS", "MSGTXT.BBS", "MSGINFO.BBS"}};
  for (const auto& files : leftBehind) {
    SCOPED_TRACE(files.size());
    for (const char* name : kFiles) fs::remove(dir_ / name);
    for (const char* name : files) dir_.WriteFile(name, "");
    MessageBaseHandle base = OpenBoard(2);
    ASSERT_TRUE(base);
    EXPECT_EQ(Post(*base, "after the kill\r"), 1);
    CloseMessageArea(base);
    EXPECT_EQ(test::ReadHudsonInfo(dir_.path()).lowMsg, 1);
    EXPECT_EQ(test::ReadHudsonMessages(dir_.path()).size(), 1u);
  }
}

TEST_F(HudsonTest, DamageGivesAStatusAndWritesNothing) {
  MessageBaseHandle base = OpenBoard(1);
  Post(*base, "one\r");
  // A header naming more text records than MSGTXT.BBS holds reads what is there; one whose
  // first record lies past it reads nothing.
  std::string header = Bytes("MSGHDR.BBS");
  header[10] = 9;
  dir_.WriteFile("MSGHDR.BBS", header);
  EXPECT_EQ(ReadText(*base, 1), "one\r");
  EXPECT_EQ(base->Status(), HudsonBase::kShortText);
  header[8] = 50;
  dir_.WriteFile("MSGHDR.BBS", header);
  EXPECT_EQ(ReadText(*base, 1), "");
  EXPECT_EQ(base->Status(), HudsonBase::kTextNotFound);
  header[10] = 0;  // no text, its first record anywhere
  dir_.WriteFile("MSGHDR.BBS", header);
  EXPECT_EQ(ReadText(*base, 1), "");

  // A header of zeros past the index: writing refuses and leaves every file alone.
  dir_.WriteFile("MSGHDR.BBS", header + std::string(187, '\0'));
  std::vector<std::string> before;
  for (const char* name : kFiles) before.push_back(Bytes(name));
  base->StartNewMessage();
  base->PutLine("two");
  EXPECT_EQ(base->WriteMessage(), HudsonBase::kIndexDisagrees);
  for (size_t i = 0; i < std::size(kFiles); ++i)
    EXPECT_EQ(Bytes(kFiles[i]), before[i]) << kFiles[i];
}

// A base damaged in one of its files is read as far as the data allow and never written to:
// opening it to write fails with the status and its reason, deleting does nothing, and every
// file stays as it was.
TEST_F(HudsonTest, DamagedBasesAreRefusedForWriting) {
  struct Damage {
    const char* what;
    const char* file;
    std::function<std::string(std::string)> change;
    uint16_t status;
    bool readable;  // the messages still read through the index
  };
  auto zeroed = [](std::string s) { return std::string(s.size(), '\0'); };
  auto cutBy = [](size_t bytes) {
    return [bytes](std::string s) { return s.substr(0, s.size() - bytes); };
  };
  auto lastRecordZeroed = [](std::string s) {
    return s.substr(0, s.size() - 187) + std::string(187, '\0');
  };
  auto highestLowered = [](std::string s) {
    s[2] = static_cast<char>(s[2] - 2);
    return s;
  };
  const Damage damages[] = {
      {"info zeroed", "MSGINFO.BBS", zeroed, HudsonBase::kInfoDisagrees, true},
      {"highest number two behind", "MSGINFO.BBS", highestLowered, HudsonBase::kInfoDisagrees,
       true},
      {"info cut short", "MSGINFO.BBS", cutBy(100), HudsonBase::kUnreadableInfo, false},
      {"info emptied", "MSGINFO.BBS", cutBy(406), HudsonBase::kUnreadableInfo, false},
      {"index zeroed", "MSGIDX.BBS", zeroed, HudsonBase::kIndexDisagrees, false},
      {"index two records short", "MSGIDX.BBS", cutBy(6), HudsonBase::kInconsistent, true},
      {"to-index emptied", "MSGTOIDX.BBS", cutBy(7 * 36), HudsonBase::kInconsistent, true},
      {"last header zeroed", "MSGHDR.BBS", lastRecordZeroed, HudsonBase::kIndexDisagrees, true},
      {"headers zeroed", "MSGHDR.BBS", zeroed, HudsonBase::kIndexDisagrees, false},
      {"last header gone", "MSGHDR.BBS", cutBy(187), HudsonBase::kInconsistent, true},
      {"a header too many", "MSGHDR.BBS", [](std::string s) { return s + s.substr(0, 2 * 187); },
       HudsonBase::kInconsistent, true},
      {"text shorter than the headers say", "MSGTXT.BBS", cutBy(3 * 256), HudsonBase::kShortText,
       true},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.what);
    for (const char* name : kFiles) fs::remove(dir_ / name);
    fs::remove(dir_ / "ECHOMAIL.BBS");
    MessageBaseHandle base = OpenBoard(1);
    for (int i = 1; i <= 7; ++i) Post(*base, LongText(i, 100));
    CloseMessageArea(base);
    dir_.WriteFile(d.file, d.change(Bytes(d.file)));
    std::vector<std::string> before;
    for (const char* name : kFiles) before.push_back(Bytes(name));
    before.push_back(Bytes("ECHOMAIL.BBS"));

    OpenFailure failure;
    EXPECT_FALSE(OpenOrCreateMessageArea(AreaId(1), base, &failure));
    EXPECT_EQ(failure.code, d.status);
    EXPECT_FALSE(failure.reason.empty());
    if (OpenMessageArea(AreaId(1), base)) {
      if (d.readable) {
        EXPECT_EQ(ReadText(*base, 2), LongText(2, 100));
      }
      base->StartNewMessage();
      base->PutLine("into the damaged base");
      EXPECT_EQ(base->WriteMessage(), d.status);
      base->SeekFrom(1);
      base->LoadHeader();
      base->DeleteMessage();
      CloseMessageArea(base);
    }
    for (size_t i = 0; i < std::size(kFiles); ++i)
      EXPECT_EQ(Bytes(kFiles[i]), before[i]) << kFiles[i];
    EXPECT_EQ(Bytes("ECHOMAIL.BBS"), before.back());
  }
}

// What a writer that appends text, header, index records and the info record last (as the
// reference writer, and this program before, did) leaves when it is killed: the next open to
// write mends it, keeping a message that the index already makes whole and undoing one it does
// not, so that no number is given out twice and the counts are those of the messages.
TEST_F(HudsonTest, KillsOfAnotherWriterAreMendedOnOpeningToWrite) {
  struct Kill {
    const char* what;
    std::vector<const char*> restored;  // files as they were before the killed append
    bool kept;                          // the killed append's message is there after mending
  };
  const Kill kills[] = {
      {"before the info record", {"MSGINFO.BBS"}, true},
      {"before the to-index record", {"MSGINFO.BBS", "MSGTOIDX.BBS"}, false},
      {"before both index records", {"MSGINFO.BBS", "MSGTOIDX.BBS", "MSGIDX.BBS"}, false},
  };
  for (const Kill& k : kills) {
    SCOPED_TRACE(k.what);
    for (const char* name : kFiles) fs::remove(dir_ / name);
    test::CreateHudsonBase(dir_.path());
    HudsonMessage m;
    m.text = "first\r";
    test::AppendHudsonMessage(dir_.path(), m);
    std::map<std::string, std::string> before;
    for (const char* name : k.restored) before[name] = Bytes(name);
    m.text = "killed\r";
    test::AppendHudsonMessage(dir_.path(), m);
    for (const auto& [name, bytes] : before) dir_.WriteFile(name, bytes);

    MessageBaseHandle base = OpenBoard(1);
    ASSERT_TRUE(base);
    EXPECT_EQ(base->ActiveCount(), k.kept ? 2 : 1);
    EXPECT_EQ(ReadText(*base, 2), k.kept ? "killed\r" : "<not found>");
    EXPECT_EQ(Post(*base, "next\r"), 3);
    CloseMessageArea(base);
    const test::HudsonInfo info = test::ReadHudsonInfo(dir_.path());
    EXPECT_EQ(info.highMsg, 3);
    EXPECT_EQ(info.active, k.kept ? 3 : 2);
    EXPECT_EQ(info.areaActive[0], info.active);
    std::vector<uint16_t> live;
    for (const HudsonMessage& found : test::ReadHudsonMessages(dir_.path()))
      if (found.msgNum != 0xFFFF) live.push_back(found.msgNum);
    EXPECT_EQ(live, k.kept ? (std::vector<uint16_t>{1, 2, 3}) : (std::vector<uint16_t>{1, 3}));
  }
}

TEST_F(HudsonTest, FullBaseAnswers99) {
  MessageBaseHandle base = OpenBoard(1);
  fs::resize_file(dir_ / "MSGTXT.BBS", uint64_t{65281} * 256);
  base->StartNewMessage();
  base->PutLine("x");
  EXPECT_EQ(base->WriteMessage(), HudsonBase::kBaseFull);
  EXPECT_EQ(fs::file_size(dir_ / "MSGHDR.BBS"), 0u);
  // Nor may a text run past the last record a 16-bit number can name.
  fs::resize_file(dir_ / "MSGTXT.BBS", uint64_t{65280} * 256);
  base->StartNewMessage();
  base->PutText(LongText(400, 200));  // 316 records
  EXPECT_EQ(base->WriteMessage(), HudsonBase::kBaseFull);
}

TEST_F(HudsonTest, LockHoldsBothLockBytes) {
  MessageBaseHandle base = OpenBoard(3);
  ASSERT_TRUE(base->Lock());
  File other;
  ASSERT_TRUE(other.Open(dir_ / "MSGINFO.BBS", OpenMode::ReadWrite));
  EXPECT_FALSE(other.LockRange(406, 1, 1));
  EXPECT_FALSE(other.LockRange(407, 1, 1));
  ASSERT_TRUE(base->Unlock());
  EXPECT_TRUE(other.LockRange(406, 2, 1));
}

TEST_F(HudsonTest, TwoProcessesWritingDifferentBoardsLoseNothing) {
  OpenBoard(1);  // the base exists before the writers start
  constexpr int kEach = 60;
  std::vector<pid_t> children;
  for (int board : {1, 2}) {
    pid_t pid = fork();
    if (pid == 0) {
      MessageBaseHandle base;
      if (!OpenMessageArea(AreaId(board), base)) _exit(1);
      for (int i = 0; i < kEach; ++i)
        if (Post(*base, "board " + std::to_string(board) + " #" + std::to_string(i) + "\r") <= 0)
          _exit(2);
      _exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  std::vector<HudsonMessage> all = test::ReadHudsonMessages(dir_.path());
  ASSERT_EQ(all.size(), 2u * kEach);
  std::vector<int> next(3, 0);
  for (size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i].msgNum, i + 1) << "numbers given out once each, in order";
    EXPECT_EQ(all[i].text, "board " + std::to_string(all[i].area) + " #" +
                               std::to_string(next[all[i].area]++) + "\r");
  }
  test::HudsonInfo info = test::ReadHudsonInfo(dir_.path());
  EXPECT_EQ(info.active, 2 * kEach);
  EXPECT_EQ(info.areaActive[0], kEach);
  EXPECT_EQ(info.areaActive[1], kEach);
  EXPECT_EQ(test::ReadHudsonList(dir_ / "ECHOMAIL.BBS").size(), 2u * kEach);
}

}  // namespace
}  // namespace vm
