// A Squish message area: the .SQD data file of linked frames, the .SQI index and the .SQL
// last-read pointers, all named from one base path.
//
// Messages are numbered by their unique message numbers; "position" is a message's 1-based
// place in the index. The base header and the index in memory are authoritative only while
// the base is locked (byte 0 of .SQD): every change takes the lock, re-reads both, and writes
// both back before the lock is released. Frames, chains and index entries read from disk are
// checked before use; damage ends reading quietly and makes writing refuse with kDamaged,
// without touching the files.
//
// Before the first change under a lock the chains are checked against the index (see
// squish_survey.cpp), and every change writes in an order that leaves, wherever the process
// is killed, a base whose index leads only to whole messages and whose half-done change that
// check completes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "msgbase/message_base.h"
#include "msgbase/squish/squish_format.h"
#include "platform/file.h"
#include "platform/io_result.h"
#include "text/text_helpers.h"

namespace vm {

namespace squish {
// Result codes (besides the DOS-style I/O codes of platform/io_result.h). Open answers
// kIndexOpenFailed when the index cannot be opened, and a write that cannot take the lock
// kLockFailed; the status word then holds the I/O code (io::kLockViolation for the lock).
inline constexpr uint16_t kLockFailed = 5;
inline constexpr uint16_t kIndexOpenFailed = 100;
inline constexpr uint16_t kAlreadyOpen = 176;
inline constexpr uint16_t kIndexSeekFailed = 300;
inline constexpr uint16_t kNoIndex = 999;
inline constexpr uint16_t kBadHeader = 1001;
inline constexpr uint16_t kDamaged = 1002;      // a frame, chain or index entry that is not sound
inline constexpr uint16_t kTextTooLong = 1003;  // the new message's text is beyond kMaxTextBytes

// The largest message text kept when writing and read when reading. Far above any posting,
// it only bounds the memory a damaged length could ask for.
inline constexpr size_t kMaxTextBytes = 16u << 20;
// Free frames remembered for reuse after each lock.
inline constexpr size_t kFreeListCapacity = 500;
}  // namespace squish

class SquishBase : public MessageBase {
 public:
  SquishBase() = default;
  ~SquishBase() override;

  void SetAreaPath(std::string_view locator) override;
  uint16_t Open() override;
  uint16_t Close() override;
  uint16_t Create(uint16_t maxMessages, uint16_t daysToKeep) override;
  bool Exists() override;
  bool Lock() override;
  bool Unlock() override;
  uint16_t Mend() override;

  void SetDestAddress(const NetAddress& address) override { header_.dest = address; }
  void SetOrigAddress(const NetAddress& address) override { header_.orig = address; }
  void SetFromName(std::string_view name) override;
  void SetToName(std::string_view name) override;
  void SetSubject(std::string_view subject) override;
  void SetCost(uint16_t cost) override {}
  void SetReplyTo(int32_t number) override { header_.replyTo = static_cast<uint32_t>(number); }
  void SetSeeAlso(int32_t number) override { header_.replies[0] = static_cast<uint32_t>(number); }
  void SetDateText(std::string_view mmddyy) override { dateText_ = CutTo(mmddyy, 8); }
  void SetTimeText(std::string_view hhmm) override { timeText_ = CutTo(hhmm, 5); }
  void PutText(std::string_view text) override;
  void PutChar(unsigned char c) override;
  uint16_t WriteMessage() override;

  std::string FromName() override { return squish::FieldText(header_.from); }
  std::string ToName() override { return squish::FieldText(header_.to); }
  std::string Subject() override { return squish::FieldText(header_.subject); }
  uint16_t Cost() override { return 0; }
  std::string DateText() override;
  std::string TimeText() override;
  int32_t ReplyTo() override { return static_cast<int32_t>(header_.replyTo); }
  int32_t SeeAlso() override { return static_cast<int32_t>(header_.replies[0]); }
  int32_t MessageNumber() override;
  void GetOrigAddress(NetAddress& address) override { address = header_.orig; }
  void GetDestAddress(NetAddress& address) override { address = header_.dest; }
  // Deleted messages leave the chain, so a message found is never deleted.
  bool IsDeleted() override { return false; }
  bool IsEchoed() override { return (header_.attr & squish::kAttrScanned) == 0; }

  int32_t Location() override { return MessageNumber(); }
  void SetLocation(int32_t location) override { SeekFrom(location); }
  void LoadHeader() override;
  void StartReading() override;
  void StartNewMessage() override;
  void SeekFrom(int32_t number) override;
  void SeekNext() override;
  void SeekPrevious() override;
  bool Found() override { return MessageNumber() >= 0; }
  int32_t HighNumber() override { return static_cast<int32_t>(base_.uid - 1); }
  void SetMailKind(MailKind kind) override {}
  void RewriteHeader() override;
  void DeleteMessage() override;
  void SetEchoed(bool on) override;
  int32_t ActiveCount() override;
  int32_t GetLastRead(uint32_t user) override;
  void SetLastRead(uint32_t user, int32_t number) override;
  int32_t DisplayNumber() override { return static_cast<int32_t>(position_); }

 private:
  struct FreeFrame {
    uint32_t offset;
    uint32_t length;
  };
  struct Place {
    uint64_t offset = 0;  // 0 when the base cannot hold the message
    uint32_t frameLength = 0;
    bool atEnd = false;  // appended at the end of the file rather than a reused free frame
  };

  bool IsOpen() const { return sqd_.IsOpen() && sqi_.IsOpen(); }
  std::string OwnStatusReason(uint16_t code) const override;
  // The common attribute bits are MSGAPI's own in the header's attribute word.
  void SetAttributeBit(uint16_t bit, bool on) override { SetAttr(bit, on); }
  bool HasAttributeBit(uint16_t bit) override { return HasAttr(bit); }
  void SetAttr(uint32_t bit, bool on);
  bool HasAttr(uint32_t bit) const { return (header_.attr & bit) != 0; }
  uint32_t IndexHash() const;

  // Base header and index (squish_base.cpp).
  uint16_t ReadBaseHeader();
  uint16_t ReadIndex();
  uint16_t Reload();
  uint16_t WriteIndex();
  uint16_t WriteBaseHeader();
  uint16_t Flush();
  void MarkIndexChanged(size_t from);
  uint64_t FirstFrameOffset() const;
  size_t FindPosition(uint32_t umsgid) const;  // 0-based, index_.size() when absent

  // Frames and chains (squish_frames.cpp).
  bool ReadFrame(uint32_t offset, squish::FrameHeader& frame);
  bool ReadFrameOfType(uint32_t offset, uint16_t type, squish::FrameHeader& frame);
  bool WriteFrameHeader(uint32_t offset, const squish::FrameHeader& frame);
  bool MessageFits(uint32_t offset, const squish::FrameHeader& frame) const;
  bool FrameFits(uint32_t offset, const squish::FrameHeader& frame) const;
  bool ReadFreeList();
  void DropFreeChain();
  bool TakeFreeFrame(size_t entry);
  Place FindFrame(uint32_t needed);
  uint16_t UnlinkFrame(uint32_t offset, uint32_t prev, uint32_t next);
  uint16_t AddToFreeChain(uint32_t offset, squish::FrameHeader frame);
  uint16_t AppendMessage();
  // The parts of AppendMessage, in the order they reach the disk.
  uint64_t NextUniqueNumber() const;
  uint16_t WriteNewFrame(const Place& place, uint32_t needed, const std::string& text);
  uint16_t LinkAtChainEnd(uint32_t offset, squish::FrameHeader& last);
  uint16_t IndexNewMessage(uint32_t offset, uint64_t uid);
  void TrimToMaxMessages();
  uint16_t DeleteAt(size_t position);
  void FillDates();

  // Checking the chains before a change (squish_survey.cpp).
  uint16_t PrepareChange();
  uint16_t SurveyChains();

  std::string path_;
  File sqd_;
  File sqi_;
  uint16_t stateError_ = squish::kNoIndex;  // result of the last header and index read; 0 = sound
  bool locked_ = false;
  // The chains on disk were checked against the header and index in memory, and nothing has
  // changed them since: the next change needs no survey.
  bool surveyed_ = false;

  squish::BaseHeader base_;
  std::vector<squish::IndexRecord> index_;
  size_t indexChangedFrom_ = SIZE_MAX;  // first index record not yet written back
  size_t position_ = 0;                 // 1-based place in the index; 0 = none

  // The message loaded by LoadHeader (or being composed).
  squish::FrameHeader frame_;
  squish::MessageHeader header_;
  bool frameLoaded_ = false;
  uint32_t frameOffset_ = 0;
  uint32_t frameUid_ = 0;

  std::vector<FreeFrame> freeList_;
  bool freeListRead_ = false;

  std::string compose_;
  bool composeTooLong_ = false;
  std::string dateText_;
  std::string timeText_;
};

}  // namespace vm
