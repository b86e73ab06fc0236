// One board of a Hudson (QuickBBS) message base: five files in one directory shared by up to
// 200 boards. MSGHDR.BBS holds the headers, MSGIDX.BBS and MSGTOIDX.BBS one record per header
// (number and board, to name), MSGTXT.BBS the texts in 256-byte records and MSGINFO.BBS the
// counts. Messages written for export are also listed in ECHOMAIL.BBS or NETMAIL.BBS.
//
// Changes are made under the lock bytes 406 and 407 of MSGINFO.BBS, which cover both
// conventions of the programs that share these bases; the info record is re-read under the
// lock. Every record number and length read from the files is checked against the files'
// sizes before it is used: reading a damaged base goes as far as the data allow.
//
// Before the first change under a lock the whole base is checked (hudson_survey.cpp): what a
// process killed in the middle of a change left is finished or undone, stale counts are
// recounted, and a base whose files disagree in any other way is refused with a status code
// and not written to at all.
//
// TextPosition is the record's place in the message × 65536 + the byte's place in the record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "msgbase/message_base.h"
#include "platform/file.h"
#include "platform/io_result.h"

namespace vm {

class HudsonBase final : public MessageBase {
 public:
  // Result and status codes besides the DOS-style I/O codes of platform/io_result.h.
  static constexpr uint16_t kUnreadableInfo = 1;
  static constexpr uint16_t kLockFailed = 5;  // the status word then says io::kLockViolation
  static constexpr uint16_t kBaseFull = 99;
  static constexpr uint16_t kShortText = 1111;     // the text ran past the end of MSGTXT.BBS
  static constexpr uint16_t kTextNotFound = 2222;  // the first text record lies past it
  static constexpr uint16_t kInconsistent = 5000;  // some files missing, or their sizes disagree
  static constexpr uint16_t kBadBoard = 5001;      // the locator names no board 1..200
  static constexpr uint16_t kNotOpen = 5002;
  static constexpr uint16_t kInfoDisagrees = 5003;   // MSGINFO.BBS lags behind the headers
  static constexpr uint16_t kIndexDisagrees = 5004;  // an index record does not match its header

  HudsonBase() = default;
  ~HudsonBase() override;

  void SetAreaPath(std::string_view locator) override;
  uint16_t Open() override;
  uint16_t Close() override;
  uint16_t Create(uint16_t maxMessages, uint16_t daysToKeep) override;
  bool Exists() override;
  bool Lock() override;
  bool Unlock() override;
  uint16_t Mend() override;

  void SetDestAddress(const NetAddress& address) override;
  void SetOrigAddress(const NetAddress& address) override;
  void SetFromName(std::string_view name) override;
  void SetToName(std::string_view name) override;
  void SetSubject(std::string_view subject) override;
  void SetCost(uint16_t cost) override;
  void SetReplyTo(int32_t number) override;
  void SetSeeAlso(int32_t number) override;
  void SetDateText(std::string_view mmddyy) override;
  void SetTimeText(std::string_view hhmm) override;
  void PutText(std::string_view text) override;
  void PutChar(unsigned char c) override;
  uint16_t WriteMessage() override;

  std::string FromName() override;
  std::string ToName() override;
  std::string Subject() override;
  uint16_t Cost() override;
  std::string DateText() override;
  std::string TimeText() override;
  int32_t ReplyTo() override;
  int32_t SeeAlso() override;
  int32_t MessageNumber() override { return found_ ? number_ : 0; }
  void GetOrigAddress(NetAddress& address) override;
  void GetDestAddress(NetAddress& address) override;
  bool IsDeleted() override;
  bool IsEchoed() override { return echoed_; }

  int32_t Location() override { return record_; }
  void SetLocation(int32_t location) override;
  void LoadHeader() override;
  void StartReading() override;
  void StartNewMessage() override;
  void SeekFrom(int32_t number) override;
  void SeekNext() override;
  void SeekPrevious() override;
  bool Found() override { return found_; }
  int32_t HighNumber() override;
  void SetMailKind(MailKind kind) override { kind_ = kind; }
  uint16_t SubArea() override { return static_cast<uint16_t>(board_); }
  void RewriteHeader() override;
  void DeleteMessage() override;
  void SetEchoed(bool on) override { echoed_ = on; }
  int32_t ActiveCount() override;
  int32_t GetLastRead(uint32_t user) override;
  void SetLastRead(uint32_t user, int32_t number) override;
  int32_t TextPosition() override;
  void SetTextPosition(int32_t position) override;

 private:
  enum class FileSet { None, Inconsistent, Whole };

  void SetAttributeBit(uint16_t bit, bool on) override;
  bool HasAttributeBit(uint16_t bit) override;
  std::string OwnStatusReason(uint16_t code) const override;

  std::string PathOf(const char* name) const { return dir_ + name; }
  bool IsOpen() const { return info_.IsOpen(); }
  FileSet CheckFiles() const;
  // A creation that a killed process cut short: every one of the five files that is there is
  // empty (a finished base has its info record). Nothing was ever written into such a base.
  bool CreationCutShort() const;
  uint32_t HeaderRecords() const;
  bool ReadInfo();
  bool WriteInfo();
  uint16_t BoardActive() const;
  void SetBoardActive(uint16_t count);

  // The index window: records from windowFirst_ on, as stored.
  bool IndexAt(int64_t record, uint16_t& number, uint8_t& board);
  void Walk(int step);

  // Header fields.
  std::string HeaderText(size_t offset) const;
  void PutHeaderText(size_t offset, size_t width, std::string_view text);
  uint16_t HeaderWord(size_t offset) const;
  void PutHeaderWord(size_t offset, uint16_t value);

  // Checking the base under the lock before a change (hudson_survey.cpp).
  uint16_t PrepareChange();
  uint16_t SurveyBase();
  // The info record and the sizes of the record files, to tell whether another program
  // changed the base since this object last surveyed or changed it.
  std::string Fingerprint() const;

  // Writing (hudson_base_write.cpp).
  uint16_t AppendMessage();
  // The to-index and index records of the header in header_ at that record.
  uint16_t WriteIndexRecords(int64_t record);
  uint16_t WriteIndexPair(int64_t record, std::string_view to, uint16_t number, uint8_t board);
  uint16_t AppendToList(const char* name, uint32_t record);
  void PutAddressKludge(const char* keyword, uint16_t point);

  std::string dir_;  // with a trailing backslash
  int board_ = 0;
  File info_;
  File index_;
  File toIndex_;
  File headers_;
  File texts_;
  std::string infoRecord_;
  bool locked_ = false;
  // The base was surveyed under the lock and nothing but this object has changed it since:
  // Fingerprint() was fingerprint_ when the lock was last given back.
  bool surveyed_ = false;
  std::string fingerprint_;

  // The index window and the seek position: the current header record, its message number.
  std::string window_;
  int64_t windowFirst_ = 0;
  int64_t record_ = -1;
  int32_t number_ = 0;
  bool found_ = false;

  // The current message: its header record (loaded, or being composed), its text with the
  // window offset where each of its records starts.
  std::string header_;
  uint16_t origPoint_ = 0;
  uint16_t destPoint_ = 0;
  std::vector<size_t> recordStarts_;

  // Composing.
  MailKind kind_ = MailKind::Local;
  bool echoed_ = false;
  std::string composed_;
};

}  // namespace vm
