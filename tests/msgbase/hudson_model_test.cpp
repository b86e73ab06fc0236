// Random writes (several boards; local, echomail, netmail to points), deletes (some twice) and
// reopenings of a Hudson base, checked after each reopening against a plain model: numbers,
// counts per board and in total, texts, flags, the export lists and the files' record counts.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "msgbase/message_base.h"
#include "support/hudson_reference.h"
#include "support/platform_temp_dir.h"

namespace vm {
namespace {

namespace fs = std::filesystem;

struct ModelMessage {
  int board = 0;
  int32_t number = 0;
  std::string text;
  bool privateFlag = false;
  bool deleted = false;
};

class HudsonModel {
 public:
  explicit HudsonModel(const std::string& dir) : dir_(dir) {}

  std::string AreaId(int board) const {
    char number[8];
    std::snprintf(number, sizeof number, "%03d", board);
    return std::string("H") + number + dir_;
  }

  void Write(MessageBase& base, int board, std::mt19937& random) {
    const auto kind = static_cast<MailKind>(random() % 3);
    const bool echoed = random() % 4 != 0;
    const uint16_t point = random() % 3 == 0 ? static_cast<uint16_t>(1 + random() % 20) : 0;
    ModelMessage m;
    m.board = board;
    m.privateFlag = random() % 2 == 0;
    base.StartNewMessage();
    base.SetMailKind(kind);
    base.SetEchoed(echoed);
    base.SetOrigAddress({2, 5020, 100, 0});
    base.SetDestAddress({2, 5020, 1, point});
    if (point != 0 && kind == MailKind::Netmail)
      m.text = "\x01TOPT " + std::to_string(point) + "\r";
    base.SetPrivate(m.privateFlag);
    // Lines without spaces, some longer than a line read: they come back cut, not wrapped
    // at a space, so their bytes join up again.
    for (int lines = static_cast<int>(random() % 40); lines > 0; --lines) {
      std::string line(random() % 600, static_cast<char>('a' + random() % 26));
      base.PutLine(line);
      m.text += line + "\r";
    }
    ASSERT_EQ(base.WriteMessage(), 0);
    m.number = ++high_;
    ASSERT_EQ(base.MessageNumber(), m.number);
    if (echoed && kind == MailKind::Echomail) echoList_.push_back(written_);
    if (echoed && kind == MailKind::Netmail) netList_.push_back(written_);
    ++written_;
    messages_.push_back(m);
  }

  // Deletes one of the board's messages; a deleted one is no longer found. Now and then the
  // same message is deleted a second time.
  void Delete(MessageBase& base, int board, std::mt19937& random) {
    std::vector<ModelMessage*> mine;
    for (ModelMessage& m : messages_)
      if (m.board == board) mine.push_back(&m);
    if (mine.empty()) return;
    ModelMessage& m = *mine[random() % mine.size()];
    base.SeekFrom(m.number);
    if (!base.Found() || base.MessageNumber() != m.number) {
      EXPECT_TRUE(m.deleted) << m.number << " is not found but was not deleted";
      return;
    }
    base.LoadHeader();
    base.DeleteMessage();
    if (random() % 2 == 0) base.DeleteMessage();
    m.deleted = true;
  }

  void Check(int board) const {
    SCOPED_TRACE("board " + std::to_string(board));
    MessageBaseHandle base;
    ASSERT_TRUE(OpenMessageArea(AreaId(board), base));
    std::vector<const ModelMessage*> expected;
    for (const ModelMessage& m : messages_)
      if (m.board == board && !m.deleted) expected.push_back(&m);
    EXPECT_EQ(base->ActiveCount(), static_cast<int32_t>(expected.size()));
    EXPECT_EQ(base->HighNumber(), high_);
    base->SeekFrom(1);
    for (const ModelMessage* m : expected) {
      ASSERT_TRUE(base->Found());
      ASSERT_EQ(base->MessageNumber(), m->number);
      base->LoadHeader();
      EXPECT_EQ(base->IsPrivate(), m->privateFlag);
      EXPECT_FALSE(base->IsDeleted());
      base->StartReading();
      std::string text;
      while (!base->TextEnded()) {
        std::string line = base->NextLine(255);
        if (base->TextEnded() && line.empty()) break;
        text += line + (base->LineWasWrapped() ? "" : "\r");
      }
      EXPECT_EQ(text, m->text) << m->number;
      base->SeekNext();
    }
    EXPECT_FALSE(base->Found());
    EXPECT_EQ(base->HighActiveNumber(), expected.empty() ? 0 : expected.back()->number);
    CloseMessageArea(base);
  }

  void CheckFiles() const {
    const test::HudsonInfo info = test::ReadHudsonInfo(dir_);
    int active = 0;
    std::map<int, int> perBoard;
    for (const ModelMessage& m : messages_)
      if (!m.deleted) ++active, ++perBoard[m.board];
    EXPECT_EQ(info.active, active);
    EXPECT_EQ(info.highMsg, high_);
    for (int board = 1; board <= 200; ++board)
      EXPECT_EQ(info.areaActive[board - 1], perBoard[board]);
    EXPECT_EQ(fs::file_size(dir_ + "/MSGINFO.BBS"), 406u);
    EXPECT_EQ(fs::file_size(dir_ + "/MSGIDX.BBS"), 3u * written_);
    EXPECT_EQ(fs::file_size(dir_ + "/MSGTOIDX.BBS"), 36u * written_);
    EXPECT_EQ(fs::file_size(dir_ + "/MSGHDR.BBS"), 187u * written_);
    EXPECT_EQ(test::ReadHudsonList(dir_ + "/ECHOMAIL.BBS"), echoList_);
    EXPECT_EQ(test::ReadHudsonList(dir_ + "/NETMAIL.BBS"), netList_);
  }

 private:
  std::string dir_;
  std::vector<ModelMessage> messages_;
  int32_t high_ = 0;
  uint16_t written_ = 0;
  std::vector<uint16_t> echoList_;
  std::vector<uint16_t> netList_;
};

TEST(HudsonModelTest, RandomWritesDeletesAndReopeningsMatchTheModel) {
  const int kBoards[] = {1, 2, 200};
  for (unsigned seed : {1u, 2u, 3u}) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    ScopedTempDir dir;
    HudsonModel model(dir.path());
    std::mt19937 random(seed);
    MessageBaseHandle base;
    int board = kBoards[0];
    ASSERT_TRUE(OpenOrCreateMessageArea(model.AreaId(board), base));
    for (int step = 0; step < 120; ++step) {
      const unsigned op = random() % 10;
      if (op < 6) {
        model.Write(*base, board, random);
      } else if (op < 9) {
        model.Delete(*base, board, random);
      } else {
        CloseMessageArea(base);
        for (int b : kBoards) model.Check(b);
        model.CheckFiles();
        board = kBoards[random() % std::size(kBoards)];
        ASSERT_TRUE(OpenMessageArea(model.AreaId(board), base));
      }
      if (HasFatalFailure()) return;
    }
    CloseMessageArea(base);
    for (int b : kBoards) model.Check(b);
    model.CheckFiles();
  }
}

}  // namespace
}  // namespace vm
