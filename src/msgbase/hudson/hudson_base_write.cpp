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
  uint16_t rc = AppendMessage();
  if (tookLock && !Unlock() && rc == 0) rc = SetStatus(IoCode(info_.LastError(), true));
  return rc;
}

// Appends the message under the lock: its text records, header, to-index and index records
// (the index last, as readers find messages through it), then the info record and the export
// list. A base whose files disagree, or that cannot number or address one more message, is
// left untouched.
uint16_t HudsonBase::AppendMessage() {
  if (!RecordFilesAgree()) return status_;
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
  if (!headers_.WriteAt(uint64_t{headerRecord} * kHeaderSize, header_.data(), kHeaderSize))
    return SetStatus(IoCode(headers_.LastError(), true));
  if (uint16_t rc = WriteIndexRecords(headerRecord); rc != 0) return rc;

  PutLe16(infoRecord_, kInfoHighest, static_cast<uint16_t>(number));
  PutLe16(infoRecord_, kInfoTotal, static_cast<uint16_t>(GetLe16(infoRecord_, kInfoTotal) + 1));
  SetBoardActive(static_cast<uint16_t>(BoardActive() + 1));
  if (!WriteInfo()) return SetStatus(IoCode(info_.LastError(), true));

  if (kind_ != MailKind::Local && echoed_) {
    uint16_t rc =
        AppendToList(kind_ == MailKind::Echomail ? kEchoListFile : kNetListFile, headerRecord);
    if (rc != 0) return rc;
  }
  window_.clear();
  record_ = headerRecord;
  number_ = static_cast<int32_t>(number);
  found_ = true;
  return SetStatus(0);
}

// The to-index and index records of the header in header_ at that record.
uint16_t HudsonBase::WriteIndexRecords(int64_t record) {
  const uint8_t attributes = static_cast<uint8_t>(header_[kHdrMsgAttr]);
  const bool deleted = attributes & msg::kDeleted;
  std::string to = deleted ? kDeletedMark : attributes & msg::kReceived ? kReceivedMark : ToName();
  std::string toRecord(kToIndexSize, '\0');
  toRecord[0] = static_cast<char>(to.size());
  to.copy(&toRecord[1], kNameWidth);
  uint8_t index[kIndexSize];
  PutLe16(index, kIdxNumber, deleted ? kDeletedNumber : HeaderWord(kHdrNumber));
  index[kIdxBoard] = static_cast<uint8_t>(header_[kHdrBoard]);
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
  if (static_cast<uint64_t>(record_) < HeaderRecords()) {
    if (headers_.WriteAt(static_cast<uint64_t>(record_) * kHeaderSize, header_.data(), kHeaderSize))
      WriteIndexRecords(record_);
    else
      SetStatus(IoCode(headers_.LastError(), true));
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
  if (static_cast<uint64_t>(record_) < HeaderRecords() && infoRecord_.size() == kInfoSize &&
      headers_.ReadAt(static_cast<uint64_t>(record_) * kHeaderSize, header.data(), kHeaderSize) ==
          kHeaderSize) {
    header_ = std::move(header);
    if (!(header_[kHdrMsgAttr] & msg::kDeleted)) {
      uint16_t total = GetLe16(infoRecord_, kInfoTotal);
      if (total > 0) PutLe16(infoRecord_, kInfoTotal, static_cast<uint16_t>(total - 1));
      if (BoardActive() > 0) SetBoardActive(static_cast<uint16_t>(BoardActive() - 1));
    }
    header_[kHdrMsgAttr] = static_cast<char>(header_[kHdrMsgAttr] | msg::kDeleted);
    if (headers_.WriteAt(static_cast<uint64_t>(record_) * kHeaderSize, header_.data(), kHeaderSize))
      WriteIndexRecords(record_);
    else
      SetStatus(IoCode(headers_.LastError(), true));
    WriteInfo();
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
