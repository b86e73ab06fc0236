// HudsonBase: composing and writing messages, changing and deleting them in place, and the
// last-read records.
#include <algorithm>

#include "msgbase/hudson/hudson_base.h"
#include "msgbase/hudson/hudson_layout.h"
#include "text/little_endian.h"

namespace vm {
namespace {

using namespace hudson;

// Last-read records beyond this user number are not kept (a 26 MB file).
constexpr uint32_t kMaxLastReadUser = 65535;

// The text padded on the left with '0' to width, cut to width, with sep forced at the places
// given (a date "MM-DD-YY", a time "HH:MM").
std::string FixedText(std::string_view text, size_t width, char sep,
                      std::initializer_list<size_t> at) {
  std::string fixed(text.substr(0, width));
  fixed.insert(0, width - fixed.size(), '0');
  for (size_t i : at) fixed[i] = sep;
  return fixed;
}

}  // namespace

// --- Composing -----------------------------------------------------------------------------

void HudsonBase::StartNewMessage() {
  header_.assign(kHeaderSize, '\0');
  PutHeaderText(kHdrTime, kTimeWidth, "00:00");
  PutHeaderText(kHdrDate, kDateWidth, "00-00-00");
  for (size_t field : {kHdrTo, kHdrFrom}) PutHeaderText(field, kNameWidth, "* Blank *");
  PutHeaderText(kHdrSubject, kSubjectWidth, "* Blank *");
  origPoint_ = destPoint_ = 0;
  echoed_ = false;
  // No header on disk is current any more: RewriteHeader and DeleteMessage do nothing.
  found_ = false;
  composed_.clear();
  recordStarts_.clear();
  ClearTextWindow();
}

void HudsonBase::SetFromName(std::string_view name) { PutHeaderText(kHdrFrom, kNameWidth, name); }
void HudsonBase::SetToName(std::string_view name) { PutHeaderText(kHdrTo, kNameWidth, name); }
void HudsonBase::SetSubject(std::string_view subject) {
  PutHeaderText(kHdrSubject, kSubjectWidth, subject);
}
void HudsonBase::SetCost(uint16_t cost) { PutHeaderWord(kHdrCost, cost); }
void HudsonBase::SetReplyTo(int32_t number) {
  PutHeaderWord(kHdrReplyTo, static_cast<uint16_t>(number));
}
void HudsonBase::SetSeeAlso(int32_t number) {
  PutHeaderWord(kHdrSeeAlso, static_cast<uint16_t>(number));
}

void HudsonBase::SetDateText(std::string_view mmddyy) {
  PutHeaderText(kHdrDate, kDateWidth, FixedText(mmddyy, kDateWidth, '-', {2, 5}));
}

void HudsonBase::SetTimeText(std::string_view hhmm) {
  PutHeaderText(kHdrTime, kTimeWidth, FixedText(hhmm, kTimeWidth, ':', {2}));
}

// Points have no field in the header: netmail carries them in TOPT and FMPT lines.
void HudsonBase::PutAddressKludge(const char* keyword, uint16_t point) {
  if (point == 0 || kind_ != MailKind::Netmail) return;
  std::string line(1, '\x01');
  line.append(keyword).append(std::to_string(point));
  PutLine(line);
}

void HudsonBase::SetDestAddress(const NetAddress& address) {
  if (header_.size() != kHeaderSize) return;
  header_[kHdrDestZone] = static_cast<char>(address.zone & 0xFF);
  PutHeaderWord(kHdrDestNet, address.net);
  PutHeaderWord(kHdrDestNode, address.node);
  destPoint_ = address.point;
  PutAddressKludge("TOPT ", address.point);
}

void HudsonBase::SetOrigAddress(const NetAddress& address) {
  if (header_.size() != kHeaderSize) return;
  header_[kHdrOrigZone] = static_cast<char>(address.zone & 0xFF);
  PutHeaderWord(kHdrOrigNet, address.net);
  PutHeaderWord(kHdrOrigNode, address.node);
  origPoint_ = address.point;
  PutAddressKludge("FMPT ", address.point);
}

void HudsonBase::SetAttributeBit(uint16_t bit, bool on) {
  if (header_.size() != kHeaderSize) return;
  for (const AttributeBit& a : kAttributeBits) {
    if (a.common != bit) continue;
    auto& byte = reinterpret_cast<unsigned char&>(header_[a.offset]);
    byte = on ? byte | a.bit : byte & ~a.bit;
  }
}

void HudsonBase::PutText(std::string_view text) { composed_ += text; }

void HudsonBase::PutChar(unsigned char c) { composed_ += static_cast<char>(c); }

// --- Writing -------------------------------------------------------------------------------

uint16_t HudsonBase::WriteMessage() {
  if (!IsOpen() || header_.size() != kHeaderSize) return SetStatus(kNotOpen);
  // The text ends with a carriage return; line feeds and soft returns after it do not count.
  auto last = std::find_if(composed_.rbegin(), composed_.rend(),
                           [](char c) { return c != '\n' && c != '\x8D'; });
  if (last != composed_.rend() && *last != '\r') composed_ += '\r';

  auto& msgAttr = reinterpret_cast<unsigned char&>(header_[kHdrMsgAttr]);
  switch (kind_) {
    case MailKind::Local: msgAttr &= ~(msg::kNetExport | msg::kNetmail | msg::kEchoExport); break;
    case MailKind::Echomail:
      msgAttr &= ~(msg::kNetExport | msg::kNetmail);
      if (echoed_) msgAttr |= msg::kEchoExport;
      break;
    case MailKind::Netmail:
      msgAttr = (msgAttr & ~msg::kEchoExport) | msg::kNetmail;
      if (echoed_) msgAttr |= msg::kNetExport;
      break;
  }
  header_[kHdrBoard] = static_cast<char>(board_);

  const bool tookLock = !locked_;
  if (tookLock && !Lock()) return kLockFailed;
  uint16_t rc = PrepareChange();
  if (rc == 0) rc = AppendMessage();
  // A write that failed part-way leaves what the next survey finishes.
  if (rc != 0) surveyed_ = false;
  if (tookLock && !Unlock() && rc == 0) rc = SetStatus(IoCode(info_.LastError(), true));
  return rc;
}

// Appends the message under the lock, in the order that hudson_survey.cpp relies on: the text
// records; to-index and index records that mark the new record deleted, so that the three
// record files never differ by more than it and MSGHDR.BBS never runs ahead of the index; the
// header; the info record, which from then on never hands out the number again; the export
// list entry; then the to-index record with the name and, last, the index record with the
// number, which makes it a message for the readers that go through the index. A base that
// cannot number or address one more message is left untouched.
uint16_t HudsonBase::AppendMessage() {
  if (infoRecord_.size() != kInfoSize) return SetStatus(kUnreadableInfo);
  const int64_t textBytes = texts_.Size();
  if (textBytes < 0) return SetStatus(IoCode(texts_.LastError(), false));
  // A torn last record is left alone: the new text starts after it.
  const auto firstText = static_cast<uint64_t>((textBytes + kTextRecordSize - 1) / kTextRecordSize);
  const uint64_t records = (composed_.size() + kTextRecordBytes - 1) / kTextRecordBytes;
  const uint32_t headerRecord = HeaderRecords();
  const uint32_t number = GetLe16(infoRecord_, kInfoHighest) + 1u;
  if (firstText >= kFullTextRecords || firstText + records > kMaxTextRecords ||
      headerRecord >= kMaxHeaderRecords || number >= kDeletedNumber)
    return SetStatus(kBaseFull);

  PutHeaderWord(kHdrNumber, static_cast<uint16_t>(number));
  PutHeaderWord(kHdrFirstText, static_cast<uint16_t>(firstText));
  PutHeaderWord(kHdrTextRecords, static_cast<uint16_t>(records));
  std::string text(static_cast<size_t>(records) * kTextRecordSize, '\0');
  for (uint64_t r = 0; r < records; ++r) {
    size_t from = static_cast<size_t>(r) * kTextRecordBytes;
    size_t length = std::min(kTextRecordBytes, composed_.size() - from);
    text[r * kTextRecordSize] = static_cast<char>(length);
    composed_.copy(&text[r * kTextRecordSize + 1], length, from);
  }
  if (!texts_.WriteAt(firstText * kTextRecordSize, text.data(), text.size()))
    return SetStatus(IoCode(texts_.LastError(), true));
  const auto board = static_cast<uint8_t>(board_);
  if (uint16_t rc = WriteIndexPair(headerRecord, kDeletedMark, kDeletedNumber, board); rc != 0)
    return rc;
  if (!headers_.WriteAt(uint64_t{headerRecord} * kHeaderSize, header_.data(), kHeaderSize))
    return SetStatus(IoCode(headers_.LastError(), true));

  PutLe16(infoRecord_, kInfoHighest, static_cast<uint16_t>(number));
  PutLe16(infoRecord_, kInfoTotal, static_cast<uint16_t>(GetLe16(infoRecord_, kInfoTotal) + 1));
  SetBoardActive(static_cast<uint16_t>(BoardActive() + 1));
  if (!WriteInfo()) return SetStatus(IoCode(info_.LastError(), true));

  if (kind_ != MailKind::Local && echoed_) {
    uint16_t rc =
        AppendToList(kind_ == MailKind::Echomail ? kEchoListFile : kNetListFile, headerRecord);
    if (rc != 0) return rc;
  }
  if (uint16_t rc = WriteIndexRecords(headerRecord); rc != 0) return rc;
  record_ = headerRecord;
  number_ = static_cast<int32_t>(number);
  found_ = true;
  return SetStatus(0);
}

uint16_t HudsonBase::WriteIndexRecords(int64_t record) {
  const uint8_t attributes = static_cast<uint8_t>(header_[kHdrMsgAttr]);
  const bool deleted = attributes & msg::kDeleted;
  return WriteIndexPair(record,
                        deleted                       ? kDeletedMark
                        : attributes & msg::kReceived ? kReceivedMark
                                                      : ToName(),
                        deleted ? kDeletedNumber : HeaderWord(kHdrNumber),
                        static_cast<uint8_t>(header_[kHdrBoard]));
}

// The to-index record first, then the index record.
uint16_t HudsonBase::WriteIndexPair(int64_t record, std::string_view to, uint16_t number,
                                    uint8_t board) {
  std::string toRecord(kToIndexSize, '\0');
  const size_t length = std::min(to.size(), kNameWidth);
  toRecord[0] = static_cast<char>(length);
  to.copy(&toRecord[1], length);
  uint8_t index[kIndexSize];
  PutLe16(index, kIdxNumber, number);
  index[kIdxBoard] = board;
  if (!toIndex_.WriteAt(static_cast<uint64_t>(record) * kToIndexSize, toRecord.data(),
                        kToIndexSize))
    return SetStatus(IoCode(toIndex_.LastError(), true));
  if (!index_.WriteAt(static_cast<uint64_t>(record) * kIndexSize, index, kIndexSize))
    return SetStatus(IoCode(index_.LastError(), true));
  window_.clear();
  return 0;
}

uint16_t HudsonBase::AppendToList(const char* name, uint32_t record) {
  File list;
  uint8_t entry[2];
  PutLe16(entry, 0, static_cast<uint16_t>(record));
  if (!list.Open(PathOf(name), OpenMode::Append) || !list.Write(entry, sizeof entry))
    return SetStatus(IoCode(list.LastError(), true));
  return 0;
}

void HudsonBase::RewriteHeader() {
  if (!found_ || header_.size() != kHeaderSize) return;
  const bool tookLock = !locked_;
  if (tookLock && !Lock()) return;
  if (PrepareChange() == 0 && static_cast<uint64_t>(record_) < HeaderRecords()) {
    if (!headers_.WriteAt(static_cast<uint64_t>(record_) * kHeaderSize, header_.data(),
                          kHeaderSize)) {
      SetStatus(IoCode(headers_.LastError(), true));
      surveyed_ = false;
    } else if (WriteIndexRecords(record_) != 0) {
      surveyed_ = false;
    }
  }
  if (tookLock) Unlock();
}

// Marks the message deleted, with the header as it is on disk now (another program may have
// changed it), and lowers the counts unless it was deleted already. A lock the caller holds is
// kept.
void HudsonBase::DeleteMessage() {
  if (!found_) return;
  const bool tookLock = !locked_;
  if (tookLock && !Lock()) return;
  std::string header(kHeaderSize, '\0');
  if (PrepareChange() == 0 && static_cast<uint64_t>(record_) < HeaderRecords() &&
      infoRecord_.size() == kInfoSize &&
      headers_.ReadAt(static_cast<uint64_t>(record_) * kHeaderSize, header.data(), kHeaderSize) ==
          kHeaderSize) {
    header_ = std::move(header);
    if (!(header_[kHdrMsgAttr] & msg::kDeleted)) {
      uint16_t total = GetLe16(infoRecord_, kInfoTotal);
      if (total > 0) PutLe16(infoRecord_, kInfoTotal, static_cast<uint16_t>(total - 1));
      if (BoardActive() > 0) SetBoardActive(static_cast<uint16_t>(BoardActive() - 1));
    }
    // The header first: a process killed before the index follows leaves a deletion that the
    // next survey finishes.
    header_[kHdrMsgAttr] = static_cast<char>(header_[kHdrMsgAttr] | msg::kDeleted);
    bool written =
        headers_.WriteAt(static_cast<uint64_t>(record_) * kHeaderSize, header_.data(), kHeaderSize);
    if (!written) SetStatus(IoCode(headers_.LastError(), true));
    written = written && WriteIndexRecords(record_) == 0;
    if (written && !WriteInfo()) {
      SetStatus(IoCode(info_.LastError(), true));
      written = false;
    }
    if (!written) surveyed_ = false;
  }
  if (tookLock) Unlock();
}

// --- Last-read records ---------------------------------------------------------------------

int32_t HudsonBase::GetLastRead(uint32_t user) {
  File file;
  if (board_ == 0 || !file.Open(PathOf(kLastReadFile), OpenMode::Read)) return 0;
  uint64_t at = uint64_t{user} * kLastReadSize + 2 * static_cast<uint64_t>(board_ - 1);
  uint8_t word[2];
  if (file.ReadAt(at, word, 2) != 2) return 0;
  return GetLe16(word, 0);
}

void HudsonBase::SetLastRead(uint32_t user, int32_t number) {
  if (board_ == 0 || user > kMaxLastReadUser) return;
  File file;
  const std::string path = PathOf(kLastReadFile);
  if (!file.Open(path, OpenMode::ReadWrite) && !file.Open(path, OpenMode::CreateNew)) {
    SetStatus(IoCode(file.LastError(), true));
    return;
  }
  // The file grows by whole records; the words in between read as zero.
  const uint64_t end = (uint64_t{user} + 1) * kLastReadSize;
  if (file.Size() < static_cast<int64_t>(end) && !file.Truncate(end)) {
    SetStatus(IoCode(file.LastError(), true));
    return;
  }
  uint8_t word[2];
  PutLe16(word, 0, static_cast<uint16_t>(number));
  if (!file.WriteAt(uint64_t{user} * kLastReadSize + 2 * static_cast<uint64_t>(board_ - 1), word,
                    2))
    SetStatus(IoCode(file.LastError(), true));
}

}  // namespace vm
