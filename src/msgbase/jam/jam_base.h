// A JAM message area: base path + .JHR (base header, message headers with subfields), .JDT
// (texts), .JDX (index by message number) and .JLR (last-read records).
//
// Kludge lines live in header subfields rather than in the text: PutKludge files them, and
// reading puts them back as kludge lines before the body. TextPosition is negative inside
// those lines and the .JDT offset inside the body.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "msgbase/jam/jam_subfields.h"
#include "msgbase/message_base.h"
#include "platform/file.h"
#include "platform/io_result.h"
#include "platform/shared_append_file.h"
#include "text/dos_time.h"

namespace vm {

class JamBase final : public MessageBase {
 public:
  // Result codes besides the DOS-style I/O codes of platform/io_result.h. A write or delete
  // that cannot take the lock answers kLockFailed; the status word then says
  // io::kLockViolation, which tells a lock held elsewhere from a permission refused.
  static constexpr uint16_t kLockFailed = 5;
  static constexpr uint16_t kNotJamBase = 1001;  // missing or damaged base header
  static constexpr uint16_t kBaseFull = 1002;    // no message number or offset left

  JamBase() = default;
  ~JamBase() override;

  void SetAreaPath(std::string_view locator) override;
  uint16_t Open() override;
  uint16_t Close() override;
  uint16_t Create(uint16_t maxMessages, uint16_t daysToKeep) override;
  bool Exists() override;
  bool Lock() override;
  bool Unlock() override;
  uint16_t Mend() override;

  void SetDestAddress(const NetAddress& address) override { dest_ = address; }
  void SetOrigAddress(const NetAddress& address) override { orig_ = address; }
  void SetFromName(std::string_view name) override { fromName_ = CutTo255(name); }
  void SetToName(std::string_view name) override { toName_ = CutTo255(name); }
  void SetSubject(std::string_view subject) override { subject_ = CutTo255(subject); }
  void SetCost(uint16_t cost) override;
  void SetReplyTo(int32_t number) override;
  void SetSeeAlso(int32_t number) override;
  void SetDateText(std::string_view mmddyy) override { dateText_ = mmddyy.substr(0, 8); }
  void SetTimeText(std::string_view hhmm) override { timeText_ = hhmm.substr(0, 5); }
  void PutText(std::string_view text) override { composed_ += text; }
  void PutChar(unsigned char c) override { composed_ += static_cast<char>(c); }
  void PutKludge(std::string_view kludge) override;
  uint16_t WriteMessage() override;

  std::string FromName() override { return fromName_; }
  std::string ToName() override { return toName_; }
  std::string Subject() override { return subject_; }
  uint16_t Cost() override;
  std::string DateText() override { return dateText_; }
  std::string TimeText() override { return timeText_; }
  int32_t ReplyTo() override;
  int32_t SeeAlso() override;
  int32_t NextSeeAlso() override;
  void SetNextSeeAlso(int32_t number) override;
  // The number the seek landed on: the index, not the header, decides where SeekFrom goes.
  int32_t MessageNumber() override { return Clamp32(current_); }
  void GetOrigAddress(NetAddress& address) override { address = orig_; }
  void GetDestAddress(NetAddress& address) override { address = dest_; }
  bool IsDeleted() override;
  bool IsEchoed() override { return true; }

  int32_t Location() override { return Clamp32(current_); }
  void SetLocation(int32_t location) override { current_ = location; }
  void LoadHeader() override;
  void StartReading() override;
  void StartNewMessage() override;
  void SeekFrom(int32_t number) override;
  void SeekNext() override;
  void SeekPrevious() override;
  bool Found() override;
  int32_t HighNumber() override { return Clamp32(High()); }
  void SetMailKind(MailKind kind) override { kind_ = kind; }
  void RewriteHeader() override;
  void DeleteMessage() override;
  int32_t ActiveCount() override;
  int32_t GetLastRead(uint32_t user) override;
  void SetLastRead(uint32_t user, int32_t number) override;
  int32_t TextPosition() override;
  void SetTextPosition(int32_t position) override;

 private:
  struct IndexSlot {
    uint32_t nameCrc = 0;
    uint32_t headerOffset = 0;
  };

  static std::string CutTo255(std::string_view text) { return std::string(text.substr(0, 255)); }
  static int32_t Clamp32(int64_t value);
  // The I/O code of the file's last failure, kept in the status word.
  uint16_t IoError(const File& file, bool writing = true);
  std::string OwnStatusReason(uint16_t code) const override;

  // Extensions are written in lower case, as the JAM programs on this host name the files;
  // files made elsewhere in upper case are still found (paths resolve without regard to case).
  std::string FileName(std::string_view extension) const { return path_ + std::string(extension); }
  bool ReadBaseHeader();
  uint32_t BaseField(size_t offset) const;
  void SetBaseField(size_t offset, uint32_t value);
  int64_t BaseNumber() const;
  int64_t High();

  // The slot of a message number up to high (the highest number the index holds now).
  std::optional<IndexSlot> ReadSlot(int64_t number, int64_t high);
  bool HoldsMessage(int64_t number, int64_t high);
  // The first number from number on, walking by step (+1 or -1) between the base number and
  // high, whose slot holds a message; the first number outside that range when none does.
  int64_t NextHeld(int64_t number, int64_t high, int step);
  bool ReadFixedPart(uint32_t offset, std::string& fixed);

  uint32_t Attribute() const;
  void SetAttribute(uint32_t bitMask, bool on);
  // The common flags through the table of their JAM bits (jam_layout.h).
  void SetAttributeBit(uint16_t bit, bool on) override;
  bool HasAttributeBit(uint16_t bit) override;
  void SetFixed(size_t offset, uint32_t value);
  uint32_t Fixed(size_t offset) const;

  uint32_t CountActive();
  void CheckActiveCount();
  uint16_t AppendMessage();
  uint16_t AppendListLine(int64_t number);
  void ResetMessage();

  std::string path_;
  File jhr_;
  File jdt_;
  File jdx_;
  // ECHOMAIL.JAM and NETMAIL.JAM, held open while the base is.
  SharedAppendFile echomailList_;
  SharedAppendFile netmailList_;
  std::string baseHeader_;
  bool baseHeaderChanged_ = false;
  int lockDepth_ = 0;
  bool lockHeld_ = false;
  // The base header as this object last left it under the lock, its active count known to be
  // right; empty when not known. When the header found under the lock is another, the count
  // is checked before the next change (countKnown_ tells whether it was).
  std::string knownBaseHeader_;
  bool countKnown_ = false;

  // The lengths of .JDT, .JHR and .JDX while this object holds the lock and knows them.
  struct FileEnds {
    int64_t text = -1;
    int64_t headers = -1;
    int64_t index = -1;
  };
  std::optional<FileEnds> ends_;

  // Index records read ahead (as stored), starting at message number windowFirst_.
  int64_t windowFirst_ = 0;
  std::string window_;

  // The current message: its number in the index, the header's fixed part and offset, and
  // the fields its subfields carry.
  int64_t current_ = 0;
  std::optional<uint32_t> headerOffset_;
  std::string fixed_;
  std::string fromName_;
  std::string toName_;
  std::string subject_;
  NetAddress orig_;
  NetAddress dest_;
  std::string kludgeLines_;
  std::string dateText_;
  std::string timeText_;

  // Reading: the window holds the kludge lines, then the body from .JDT offset bodyOffset_.
  size_t prefixLength_ = 0;
  int64_t bodyOffset_ = 0;

  // Composing a new message.
  MailKind kind_ = MailKind::Echomail;
  std::string composed_;
  std::vector<jam::Subfield> kludgeSubfields_;
  DateTime composedAt_;
};

}  // namespace vm
