// Damaged JAM bases: lengths and offsets that do not fit the files end reading cleanly.
#include <filesystem>
#include <string>
#include <vector>

#include "msgbase/jam_fixture.h"

namespace vm::jamtest {
namespace {

constexpr size_t kFirstHeader = 1024;
constexpr size_t kSubfieldLength = 8;
constexpr size_t kTextOffset = 60;
constexpr size_t kTextLength = 64;

class JamDamageTest : public JamFixture {
 protected:
  void SetUp() override {
    JamFixture::SetUp();
    Draft draft;
    draft.kludges = {"\x01MSGID: 2:5020/9999 1"};
    draft.text = "body one\r";
    ASSERT_EQ(Post(*base_, draft), 0);
    draft.text = "body two\r";
    ASSERT_EQ(Post(*base_, draft), 0);
    secondHeader_ = GetLe32(ReadBytes(FilePath(".jdx")), 12);
  }

  // Reopens the base after the files were patched.
  void Reopen() {
    CloseMessageArea(base_);
    ASSERT_TRUE(OpenMessageArea(AreaId(), base_));
  }

  uint32_t secondHeader_ = 0;
};

TEST_F(JamDamageTest, SubfieldLengthPastTheFileKeepsTheSubfieldsThatFit) {
  // The last header's subfields claim far more than .JHR holds.
  PatchLe32(FilePath(".jhr"), secondHeader_ + kSubfieldLength, 0x7FFFFFFF);
  Reopen();
  base_->SeekFrom(2);
  EXPECT_EQ(Lines(*base_), (std::vector<std::string>{"\x01MSGID: 2:5020/9999 1", "body two"}));
  EXPECT_EQ(base_->FromName(), "John Doe");
}

TEST_F(JamDamageTest, TextOffsetsAndLengthsOutsideTheTextFile) {
  PatchLe32(FilePath(".jhr"), kFirstHeader + kTextOffset, 0xFFFFFF00);
  PatchLe32(FilePath(".jhr"), secondHeader_ + kTextLength, 0xFFFFFFFF);
  Reopen();
  base_->SeekFrom(1);
  EXPECT_EQ(Lines(*base_), (std::vector<std::string>{"\x01MSGID: 2:5020/9999 1"}));
  base_->SeekFrom(2);
  EXPECT_EQ(Lines(*base_), (std::vector<std::string>{"\x01MSGID: 2:5020/9999 1", "body two"}));
}

TEST_F(JamDamageTest, IndexPointingNowhereGivesEmptyFieldsAndSeeksGoOn) {
  PatchLe32(FilePath(".jdx"), 4, 0x7FFFFF00);  // past the end of .JHR
  PatchLe32(FilePath(".jdx"), 12, 3);          // into the base header: no message header there
  Reopen();
  // The slot leading into the base header is an empty one; the other is still a message.
  EXPECT_EQ(Numbers(*base_), (std::vector<int32_t>{1}));
  base_->SeekFrom(1);
  EXPECT_TRUE(Lines(*base_).empty());
  EXPECT_EQ(base_->FromName(), "");
  base_->DeleteMessage();  // nothing to delete: no header was loaded
  base_->RewriteHeader();
  EXPECT_EQ(base_->ActiveCount(), 2);
}

TEST_F(JamDamageTest, LongRunsOfZeroSlotsHoldNoMessages) {
  // The index grown by a million slots of zeros (a sparse file), then a message after them:
  // a zero slot leads into the base header, where no message header can be, whichever way
  // the index is walked and across many reads of it.
  constexpr int32_t kZeroSlots = 1000000;
  constexpr int32_t kLast = 2 + kZeroSlots + 1;
  std::filesystem::resize_file(FilePath(".jdx"), (2 + kZeroSlots) * 8);
  ASSERT_EQ(Post(*base_, Draft{}), 0);
  EXPECT_EQ(base_->MessageNumber(), kLast);
  Reopen();
  EXPECT_EQ(Numbers(*base_), (std::vector<int32_t>{1, 2, kLast}));
  EXPECT_EQ(base_->HighActiveNumber(), kLast);
  base_->SeekPrevious();
  EXPECT_EQ(base_->MessageNumber(), 2);
  base_->SeekFrom(3);
  EXPECT_EQ(base_->MessageNumber(), kLast);
  base_->SeekFrom(kLast - 5);
  base_->SeekPrevious();
  EXPECT_EQ(base_->MessageNumber(), 2);
  EXPECT_EQ(base_->ActiveCount(), 3);

  // A count left wrong is counted again before the next change, the zeros not with it.
  CloseMessageArea(base_);
  PatchLe32(FilePath(".jhr"), 12, 40);
  ASSERT_TRUE(OpenMessageArea(AreaId(), base_));
  base_->SeekFrom(2);
  base_->LoadHeader();
  base_->DeleteMessage();
  EXPECT_EQ(base_->ActiveCount(), 2);
  EXPECT_EQ(Numbers(*base_), (std::vector<int32_t>{1, 2, kLast}));  // deleted, still there
}

TEST_F(JamDamageTest, TruncatedIndexRecordIsIgnoredAndOverwritten) {
  std::filesystem::resize_file(FilePath(".jdx"), 12);
  Reopen();
  EXPECT_EQ(base_->HighNumber(), 1);
  EXPECT_EQ(Numbers(*base_), (std::vector<int32_t>{1}));
  ASSERT_EQ(Post(*base_, Draft{}), 0);
  EXPECT_EQ(ReadBytes(FilePath(".jdx")).size(), 16u);
  EXPECT_EQ(Numbers(*base_), (std::vector<int32_t>{1, 2}));
}

TEST_F(JamDamageTest, ShortOrForeignBaseHeaderFailsToOpen) {
  CloseMessageArea(base_);
  std::filesystem::resize_file(FilePath(".jhr"), 1000);
  EXPECT_FALSE(OpenMessageArea(AreaId(), base_));
  EXPECT_EQ(base_, nullptr);
}

TEST_F(JamDamageTest, MessageNumbersStopAtTheTopOfTheirRange) {
  PatchLe32(FilePath(".jhr"), 20, 0x7FFFFFFE);
  Reopen();
  EXPECT_EQ(Numbers(*base_), (std::vector<int32_t>{0x7FFFFFFE, 0x7FFFFFFF}));
  EXPECT_EQ(Post(*base_, Draft{}), 1002);  // no message number left
  EXPECT_EQ(ReadBytes(FilePath(".jdx")).size(), 16u);
  CloseMessageArea(base_);
  PatchLe32(FilePath(".jhr"), 20, 0x80000000);
  EXPECT_FALSE(OpenMessageArea(AreaId(), base_));
}

}  // namespace
}  // namespace vm::jamtest
