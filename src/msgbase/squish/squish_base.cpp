#include "msgbase/squish/squish_base.h"

#include <cerrno>

#include "platform/file_system.h"
#include "platform/host.h"
#include "platform/host_path.h"
#include "text/cp866.h"
#include "text/date_text.h"
#include "text/dos_time.h"

namespace vm {

using namespace squish;

namespace {

// An index this long is no Squish base of this world; refusing it bounds the memory used.
constexpr size_t kMaxIndexRecords = size_t{1} << 22;
// Last-read slots beyond this user number are not kept (a 4 MB .SQL file).
constexpr uint32_t kMaxLastReadUser = uint32_t{1} << 20;

// Opens for shared reading and writing; a file we may only read is opened read-only, so
// that a base on a read-only medium can still be scanned.
bool OpenShared(File& file, const std::string& path) {
  if (file.Open(path, OpenMode::ReadWrite)) return true;
  int err = file.LastError();
  if (err != EACCES && err != EPERM && err != EROFS) return false;
  return file.Open(path, OpenMode::Read);
}

}  // namespace

SquishBase::~SquishBase() { Close(); }

std::string SquishBase::OwnStatusReason(uint16_t code) const {
  switch (code) {
    case kBadHeader: return Cp866("повреждён заголовок базы");
    case kDamaged: return Cp866("база повреждена");
    case kNoIndex:
    case kIndexSeekFailed: return Cp866("не прочитан индекс");
    case kTextTooLong: return Cp866("слишком длинный текст");
    default: return {};
  }
}

// The whole locator is kept: cutting a long path would open or create a different base.
void SquishBase::SetAreaPath(std::string_view locator) { path_ = std::string(locator); }

uint16_t SquishBase::Open() {
  Close();
  if (!OpenShared(sqi_, path_ + ".SQI")) {
    SetStatus(IoCode(sqi_, path_ + ".SQI", false));
    return kIndexOpenFailed;
  }
  if (!OpenShared(sqd_, path_ + ".SQD")) {
    status_ = IoCode(sqd_, path_ + ".SQD", false);
    sqi_.Close();
    return status_;
  }
  uint16_t rc = Reload();
  if (rc != 0) {
    Close();
    return status_ = rc;
  }
  position_ = 0;
  frameLoaded_ = false;
  return status_ = 0;
}

uint16_t SquishBase::Close() {
  if (locked_) Unlock();
  sqd_.Close();
  sqi_.Close();
  index_.clear();
  position_ = 0;
  frameLoaded_ = false;
  stateError_ = kNoIndex;
  surveyed_ = false;
  return 0;
}

uint16_t SquishBase::Create(uint16_t maxMessages, uint16_t daysToKeep) {
  if (sqd_.IsOpen()) return status_ = kAlreadyOpen;
  std::string dir = SplitPath(path_).dir;
  if (!dir.empty()) MakeDirectories(dir);
  File sqd;
  if (!sqd.Open(path_ + ".SQD", OpenMode::CreateNew)) {
    // Another program made the base meanwhile: it is left exactly as it is.
    if (sqd.LastError() == EEXIST) return status_ = 0;
    return status_ = IoCode(sqd.LastError(), true);
  }
  BaseHeader header;
  SetFieldText(header.baseName, path_, kBaseNameWidth - 1);
  header.maxMsg = maxMessages;
  header.keepDays = daysToKeep;
  auto bytes = EncodeBaseHeader(header);
  if (!sqd.WriteAt(0, bytes.data(), bytes.size())) return status_ = IoCode(sqd.LastError(), true);
  // A fresh data file needs an empty index and last-read file, whatever was there before.
  File sqi;
  if (!sqi.Open(path_ + ".SQI", OpenMode::Create)) return status_ = IoCode(sqi.LastError(), true);
  File sql;
  if (!sql.Open(path_ + ".SQL", OpenMode::Create)) return status_ = IoCode(sql.LastError(), true);
  return status_ = 0;
}

bool SquishBase::Exists() { return FileExists(path_ + ".SQD"); }

bool SquishBase::Lock() {
  if (locked_) return true;
  if (!sqd_.IsOpen()) return false;
  if (!sqd_.LockRange(0, 1)) {
    status_ = io::kLockViolation;
    return false;
  }
  locked_ = true;
  // Another program may have written since we last looked.
  uint16_t rc = Reload();
  if (rc != 0) status_ = rc;
  freeListRead_ = false;
  return true;
}

bool SquishBase::Unlock() {
  if (!locked_) return true;
  if (indexChangedFrom_ != SIZE_MAX) Flush();
  sqd_.UnlockRange(0, 1);
  locked_ = false;
  return true;
}

// --- Base header and index -------------------------------------------------------------

uint16_t SquishBase::ReadBaseHeader() {
  uint8_t bytes[kBaseHeaderSize];
  // A data file shorter than its header is a read error, not an empty base.
  if (sqd_.ReadAt(0, bytes, sizeof bytes) != sizeof bytes) return 100;
  BaseHeader header = DecodeBaseHeader(bytes);
  if (header.length == 0) header.length = kBaseHeaderSize;
  if (header.length > kMaxBaseHeaderLength) return kBadHeader;
  if (header.frameHeaderSize == 0) header.frameHeaderSize = kFrameHeaderSize;
  // A frame header shorter than its fields would put the message header on top of them.
  if (header.frameHeaderSize < kFrameHeaderSize) return kBadHeader;
  base_ = header;
  return 0;
}

uint16_t SquishBase::ReadIndex() {
  index_.clear();
  indexChangedFrom_ = SIZE_MAX;
  int64_t size = sqi_.Size();
  if (size < 0) return kIndexSeekFailed;
  size_t count = static_cast<size_t>(size) / kIndexRecordSize;  // a torn last record is ignored
  if (count > kMaxIndexRecords) return kNoIndex;
  std::vector<uint8_t> bytes(count * kIndexRecordSize);
  if (sqi_.ReadAt(0, bytes.data(), bytes.size()) != bytes.size()) return kIndexSeekFailed;
  index_.reserve(count + 100);
  for (size_t i = 0; i < count; ++i) {
    IndexRecord record = DecodeIndexRecord(&bytes[i * kIndexRecordSize]);
    // Removing a record moves the ones after it down and then shortens the file; a process
    // killed in between leaves a record twice, side by side. Unique numbers never repeat, so
    // the second copy is no message: it is skipped, and the next write under the lock drops it.
    if (!index_.empty() && record == index_.back()) {
      MarkIndexChanged(index_.size());
      continue;
    }
    index_.push_back(record);
  }
  return 0;
}

uint16_t SquishBase::Reload() {
  BaseHeader before = base_;
  std::vector<IndexRecord> indexBefore;
  indexBefore.swap(index_);
  uint16_t rc = ReadBaseHeader();
  if (rc == 0) rc = ReadIndex();
  stateError_ = rc;
  // Another program (or a process of ours that was killed) changed the base since it was
  // surveyed: the chains have to be checked again before the next change.
  if (rc != 0 || !(base_ == before) || index_ != indexBefore) surveyed_ = false;
  return rc;
}

void SquishBase::MarkIndexChanged(size_t from) {
  if (from < indexChangedFrom_) indexChangedFrom_ = from;
}

uint16_t SquishBase::WriteIndex() {
  if (indexChangedFrom_ == SIZE_MAX) return 0;
  uint16_t rc = 0;
  size_t from = indexChangedFrom_ < index_.size() ? indexChangedFrom_ : index_.size();
  std::vector<uint8_t> bytes((index_.size() - from) * kIndexRecordSize);
  for (size_t i = from; i < index_.size(); ++i) {
    EncodeIndexRecord(index_[i], &bytes[(i - from) * kIndexRecordSize]);
  }
  // The records first, then the length: a kill in between leaves a record twice, which
  // ReadIndex recognises, never one lost.
  if (!sqi_.WriteAt(from * kIndexRecordSize, bytes.data(), bytes.size()) ||
      !sqi_.Truncate(index_.size() * kIndexRecordSize)) {
    rc = IoCode(sqi_.LastError(), true);
  }
  indexChangedFrom_ = SIZE_MAX;
  return rc;
}

uint16_t SquishBase::WriteBaseHeader() {
  // The counts always follow the index, which also mends counts a killed process left behind.
  base_.numMsg = base_.highMsg = static_cast<uint32_t>(index_.size());
  auto bytes = EncodeBaseHeader(base_);
  if (!sqd_.WriteAt(0, bytes.data(), bytes.size())) return IoCode(sqd_.LastError(), true);
  return 0;
}

uint16_t SquishBase::Flush() {
  uint16_t rc = WriteIndex();
  uint16_t header = WriteBaseHeader();
  return rc != 0 ? rc : header;
}

uint64_t SquishBase::FirstFrameOffset() const {
  return base_.length > kBaseHeaderSize ? base_.length : kBaseHeaderSize;
}

size_t SquishBase::FindPosition(uint32_t umsgid) const {
  for (size_t i = 0; i < index_.size(); ++i) {
    if (index_[i].umsgid == umsgid) return i;
  }
  return index_.size();
}

uint32_t SquishBase::IndexHash() const {
  uint32_t hash = SquishHash(FieldText(header_.to));
  return HasAttr(attr::kReceived) ? hash | kHashReceived : hash;
}

// --- Positioning -------------------------------------------------------------------------

int32_t SquishBase::MessageNumber() {
  if (position_ == 0 || position_ > index_.size()) return -1;
  return static_cast<int32_t>(index_[position_ - 1].umsgid);
}

void SquishBase::SeekFrom(int32_t number) {
  position_ = 1;
  frameLoaded_ = false;
  if (!IsOpen()) return;
  uint16_t rc = Reload();
  if (rc != 0) status_ = rc;
  while (position_ <= index_.size() &&
         static_cast<int64_t>(index_[position_ - 1].umsgid) < number) {
    ++position_;
  }
}

void SquishBase::SeekNext() {
  frameLoaded_ = false;
  if (position_ <= index_.size()) ++position_;
}

void SquishBase::SeekPrevious() {
  frameLoaded_ = false;
  if (position_ > 0) --position_;
}

int32_t SquishBase::ActiveCount() {
  uint8_t bytes[kBaseHeaderSize];
  if (!sqd_.IsOpen() || sqd_.ReadAt(0, bytes, sizeof bytes) != sizeof bytes) return 0;
  return static_cast<int32_t>(DecodeBaseHeader(bytes).numMsg);
}

// --- Reading the current message -----------------------------------------------------------

void SquishBase::LoadHeader() {
  frameLoaded_ = false;
  frame_ = FrameHeader();
  header_ = MessageHeader();
  ClearTextWindow();
  if (MessageNumber() < 0) return;
  uint32_t offset = index_[position_ - 1].offset;
  FrameHeader frame;
  if (!ReadFrameOfType(offset, kFrameNormal, frame) || !MessageFits(offset, frame)) {
    status_ = kDamaged;
    return;
  }
  uint8_t bytes[kMessageHeaderSize];
  if (sqd_.ReadAt(uint64_t{offset} + base_.frameHeaderSize, bytes, sizeof bytes) != sizeof bytes) {
    status_ = IoCode(sqd_.LastError(), false);
    return;
  }
  frame_ = frame;
  header_ = DecodeMessageHeader(bytes);
  frameLoaded_ = true;
  frameOffset_ = offset;
  frameUid_ = index_[position_ - 1].umsgid;
}

void SquishBase::StartReading() {
  wrapped_ = false;
  if (!frameLoaded_) {
    SetTextWindow(std::string(), 0);
    return;
  }
  size_t dataLength = frame_.msgLength - kMessageHeaderSize;
  if (dataLength > frame_.ctrlLength + kMaxTextBytes)
    dataLength = frame_.ctrlLength + kMaxTextBytes;
  std::string data(dataLength, '\0');
  uint64_t at = uint64_t{frameOffset_} + base_.frameHeaderSize + kMessageHeaderSize;
  data.resize(sqd_.ReadAt(at, data.data(), data.size()));
  // The control information of other programs comes first and is never part of the text;
  // the text ends at its terminating zero byte.
  std::string text =
      data.size() > frame_.ctrlLength ? data.substr(frame_.ctrlLength) : std::string();
  size_t end = text.find('\0');
  if (end != std::string::npos) text.resize(end);
  SetTextWindow(std::move(text), static_cast<int32_t>(frame_.ctrlLength));
}

std::string SquishBase::DateText() {
  uint16_t date = static_cast<uint16_t>(header_.dateWritten);
  if (date == 0) return std::string();
  return DateTextOf(UnpackDosDateTime(uint32_t{date} << 16));
}

std::string SquishBase::TimeText() {
  if (header_.dateWritten == 0) return std::string();
  return TimeTextOf(UnpackDosDateTime(header_.dateWritten >> 16));
}

// --- Composing a new message ---------------------------------------------------------------

void SquishBase::StartNewMessage() {
  frame_ = FrameHeader();
  header_ = MessageHeader();
  frameLoaded_ = false;
  compose_.clear();
  composeTooLong_ = false;
  dateText_.clear();
  timeText_.clear();
}

namespace {

// A Squish stamp: the DOS date in the first 16-bit word, the DOS time in the second.
uint32_t SquishStamp(int year, int month, int day, int hour, int minute, int second) {
  return PackDosDate(year, month, day) | (uint32_t{PackDosTime(hour, minute, second)} << 16);
}

}  // namespace

void SquishBase::FillDates() {
  const DateTime written = ReadDateTimeTexts(dateText_, timeText_).ToDateTime();
  header_.dateWritten =
      SquishStamp(written.year, written.month, written.day, written.hour, written.minute, 0);
  DateTime now = LocalNow();
  header_.dateArrived = SquishStamp(now.year, now.month, now.day, now.hour, now.minute, now.second);
  SetFieldText(header_.ftscDate, FtscDateField(dateText_, timeText_), kFtscDateWidth - 1);
}

void SquishBase::SetFromName(std::string_view name) {
  SetFieldText(header_.from, name, kNameWidth - 1);
}

void SquishBase::SetToName(std::string_view name) {
  SetFieldText(header_.to, name, kNameWidth - 1);
}

void SquishBase::SetSubject(std::string_view subject) {
  SetFieldText(header_.subject, subject, kSubjectWidth);
}

void SquishBase::SetAttr(uint32_t bit, bool on) {
  header_.attr = on ? header_.attr | bit : header_.attr & ~bit;
}

void SquishBase::SetEchoed(bool on) { SetAttr(kAttrScanned, !on); }

void SquishBase::PutText(std::string_view text) {
  size_t room = kMaxTextBytes - compose_.size();
  if (text.size() > room) {
    composeTooLong_ = true;
    text = text.substr(0, room);
  }
  compose_.append(text);
}

void SquishBase::PutChar(unsigned char c) {
  PutText(std::string_view(reinterpret_cast<char*>(&c), 1));
}

// --- Last-read pointers ------------------------------------------------------------------

int32_t SquishBase::GetLastRead(uint32_t user) {
  File sql;
  if (!sql.Open(path_ + ".SQL", OpenMode::Read)) return 0;
  uint64_t at = uint64_t{user} * 4;
  uint8_t bytes[4];
  if (sql.Size() < static_cast<int64_t>(at + 4) || sql.ReadAt(at, bytes, 4) != 4) return 0;
  return static_cast<int32_t>(GetLe32(bytes, 0));
}

void SquishBase::SetLastRead(uint32_t user, int32_t number) {
  if (user > kMaxLastReadUser) return;
  File sql;
  if (!sql.Open(path_ + ".SQL", OpenMode::ReadWrite) &&
      !sql.Open(path_ + ".SQL", OpenMode::CreateNew)) {
    status_ = IoCode(sql.LastError(), true);
    return;
  }
  uint8_t bytes[4];
  PutLe32(bytes, 0, static_cast<uint32_t>(number));
  // Writing past the end lengthens the file; the slots in between read as zero.
  if (!sql.WriteAt(uint64_t{user} * 4, bytes, 4)) status_ = IoCode(sql.LastError(), true);
}

}  // namespace vm
