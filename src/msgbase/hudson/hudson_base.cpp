// HudsonBase: the file check, opening and creating, locking, the index walk and reading.
#include "msgbase/hudson/hudson_base.h"

#include <algorithm>
#include <cerrno>

#include "msgbase/hudson/hudson_layout.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "text/cp866.h"
#include "text/little_endian.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

using namespace hudson;

// Index records read at a time while walking the index.
constexpr int64_t kIndexWindow = 250;
// Records of one message's text read at most (8 MB): positions must fit 32 bits, and no
// real message comes near it.
constexpr int64_t kMaxMessageRecords = 32767;

const char* const kRecordFiles[] = {kInfoFile, kIndexFile, kToIndexFile, kHeaderFile, kTextFile};

bool OpenShared(File& file, const std::string& path) {
  // A base on read-only media can still be read.
  return file.Open(path, OpenMode::ReadWrite) || file.Open(path, OpenMode::Read);
}

int64_t SizeOf(const File& file) { return std::max<int64_t>(file.Size(), 0); }

}  // namespace

HudsonBase::~HudsonBase() { Close(); }

// The first three characters are the board number ("001", " 12"); anything else there (a
// one-digit board followed by a drive letter) names no board. The rest is the directory, kept
// whole: a cut path would lead to another base.
void HudsonBase::SetAreaPath(std::string_view locator) {
  std::optional<int64_t> board = ParseWholeNumber(Trim(locator.substr(0, kBoardDigits)));
  board_ = board && *board >= 1 && *board <= kBoards ? static_cast<int>(*board) : 0;
  dir_ = WithTrailingSlash(locator.substr(std::min(kBoardDigits, locator.size())));
}

std::string HudsonBase::OwnStatusReason(uint16_t code) const {
  switch (code) {
    case kUnreadableInfo: return Cp866("не прочитан MSGINFO.BBS");
    case kBaseFull: return Cp866("база заполнена");
    case kShortText: return Cp866("текст сообщения за концом MSGTXT.BBS");
    case kTextNotFound: return Cp866("нет текста сообщения");
    case kInconsistent: return Cp866("файлы базы не согласованы");
    case kBadBoard: return Cp866("номер доски не от 1 до 200");
    case kNotOpen: return Cp866("база не открыта");
    case kInfoDisagrees: return Cp866("MSGINFO.BBS не согласован с заголовками");
    case kIndexDisagrees: return Cp866("MSGIDX.BBS не согласован с заголовками");
    default: return {};
  }
}

// --- The file check, opening and creating ------------------------------------------------

// Whether the five files are there; their sizes are checked once they are open.
HudsonBase::FileSet HudsonBase::CheckFiles() const {
  int present = 0;
  for (const char* name : kRecordFiles) present += FileExists(PathOf(name)) ? 1 : 0;
  if (present == 0) return FileSet::None;
  return present == static_cast<int>(std::size(kRecordFiles)) ? FileSet::Whole
                                                              : FileSet::Inconsistent;
}

bool HudsonBase::Exists() { return CheckFiles() != FileSet::None; }

bool HudsonBase::CreationCutShort() const {
  for (const char* name : kRecordFiles) {
    std::optional<int64_t> size = FileSize(PathOf(name));
    if (size && *size != 0) return false;
  }
  return true;
}

uint32_t HudsonBase::HeaderRecords() const {
  return static_cast<uint32_t>(
      std::min<int64_t>(SizeOf(headers_) / static_cast<int64_t>(kHeaderSize), UINT32_MAX));
}

uint16_t HudsonBase::Open() {
  Close();
  if (board_ == 0) return SetStatus(kBadBoard);
  switch (CheckFiles()) {
    case FileSet::None:
      if (uint16_t rc = Create(100, 100); rc != 0) return rc;
      break;
    case FileSet::Inconsistent:
    case FileSet::Whole:
      if (CreationCutShort()) {
        if (uint16_t rc = Create(100, 100); rc != 0) return rc;
      } else if (CheckFiles() == FileSet::Inconsistent) {
        // Some other program's base, half there: it is neither read nor made anew.
        return SetStatus(kInconsistent);
      }
      break;
  }
  File* files[] = {&info_, &index_, &toIndex_, &headers_, &texts_};
  for (size_t i = 0; i < std::size(files); ++i) {
    if (!OpenShared(*files[i], PathOf(kRecordFiles[i]))) {
      uint16_t code = IoCode(*files[i], PathOf(kRecordFiles[i]), false);
      Close();
      return SetStatus(code);
    }
  }
  // Record files of different lengths still read: a message being appended by another
  // program, or one a killed process left half written, is not in the index yet. Whether the
  // base can be written to is decided under the lock (PrepareChange).
  if (!ReadInfo()) {
    Close();
    return SetStatus(kUnreadableInfo);
  }
  window_.clear();
  record_ = -1;
  found_ = false;
  return SetStatus(0);
}

uint16_t HudsonBase::Close() {
  if (locked_) Unlock();
  for (File* file : {&info_, &index_, &toIndex_, &headers_, &texts_}) file->Close();
  found_ = false;
  surveyed_ = false;
  return 0;
}

// The record files first, the info record last: until it is written the base is one whose
// creation was cut short, which the next Open finishes. A base that another program made
// meanwhile (or a half-made one of someone else's) is left as it is.
uint16_t HudsonBase::Create(uint16_t, uint16_t) {
  switch (CheckFiles()) {
    case FileSet::None: break;
    case FileSet::Inconsistent:
    case FileSet::Whole:
      if (!CreationCutShort()) {
        return SetStatus(CheckFiles() == FileSet::Whole ? 0 : kInconsistent);
      }
      break;
  }
  std::string dir = WithoutTrailingSlash(dir_);
  if (!dir.empty() && !DirectoryExists(dir)) MakeDirectories(dir);
  for (const char* name : kRecordFiles) {
    if (std::string_view(name) == kInfoFile) continue;
    File file;
    // Never over a file that appeared meanwhile.
    if (!file.Open(PathOf(name), OpenMode::CreateNew) && file.LastError() != EEXIST)
      return SetStatus(IoCode(file, PathOf(name), true));
  }
  File info;
  if (!info.Open(PathOf(kInfoFile), OpenMode::ReadWrite) &&
      !info.Open(PathOf(kInfoFile), OpenMode::CreateNew))
    return SetStatus(IoCode(info, PathOf(kInfoFile), true));
  // Under the lock, so that of two programs finishing the base at once only the first writes
  // the record and the second does not write over a message the first added.
  if (!info.LockRange(kLockByteOld, 1)) return SetStatus(io::kLockViolation);
  std::string record(kInfoSize, '\0');
  PutLe16(record, kInfoLowest, 1);
  uint16_t rc = 0;
  if (info.Size() == 0 && !info.WriteAt(0, record.data(), record.size()))
    rc = IoCode(info.LastError(), true);
  info.UnlockRange(kLockByteOld, 1);
  return SetStatus(rc);
}

// --- The info record and the lock --------------------------------------------------------

bool HudsonBase::ReadInfo() {
  std::string info(kInfoSize, '\0');
  if (info_.ReadAt(0, info.data(), info.size()) != info.size()) {
    infoRecord_.clear();
    return false;
  }
  infoRecord_ = std::move(info);
  return true;
}

bool HudsonBase::WriteInfo() {
  if (infoRecord_.size() != kInfoSize) return false;
  return info_.WriteAt(0, infoRecord_.data(), infoRecord_.size());
}

uint16_t HudsonBase::BoardActive() const {
  if (infoRecord_.size() != kInfoSize) return 0;
  return GetLe16(infoRecord_, kInfoBoardActive + 2 * static_cast<size_t>(board_ - 1));
}

void HudsonBase::SetBoardActive(uint16_t count) {
  PutLe16(infoRecord_, kInfoBoardActive + 2 * static_cast<size_t>(board_ - 1), count);
}

// Both lock bytes, 406 then 407, so that neither kind of partner writes meanwhile; they are
// released in the reverse order.
bool HudsonBase::Lock() {
  if (locked_) return true;
  if (!IsOpen()) {
    SetStatus(kNotOpen);
    return false;
  }
  auto lockFailure = [this] {
    int err = info_.LastError();
    return SetStatus(err == EAGAIN || err == EACCES ? io::kLockViolation : IoCode(err, true));
  };
  if (!info_.LockRange(kLockByteOld, 1)) {
    lockFailure();
    return false;
  }
  if (!info_.LockRange(kLockByteNew, 1)) {
    lockFailure();
    info_.UnlockRange(kLockByteOld, 1);
    return false;
  }
  locked_ = true;
  // Other programs may have written since the info record was read.
  if (!ReadInfo()) SetStatus(kUnreadableInfo);
  surveyed_ = surveyed_ && Fingerprint() == fingerprint_;
  return true;
}

// Every change writes the info record as it makes it: there is nothing left to write here.
bool HudsonBase::Unlock() {
  if (!locked_) return true;
  if (surveyed_) fingerprint_ = Fingerprint();
  bool ok = info_.UnlockRange(kLockByteNew, 1);
  ok = info_.UnlockRange(kLockByteOld, 1) && ok;
  locked_ = false;
  return ok;
}

int32_t HudsonBase::HighNumber() {
  return infoRecord_.size() == kInfoSize ? GetLe16(infoRecord_, kInfoHighest) : 0;
}

int32_t HudsonBase::ActiveCount() {
  uint8_t info[kInfoSize];
  if (!IsOpen() || info_.ReadAt(0, info, sizeof info) != sizeof info) return 0;
  return GetLe16(info, kInfoBoardActive + 2 * static_cast<size_t>(board_ - 1));
}

// --- The index walk ----------------------------------------------------------------------

bool HudsonBase::IndexAt(int64_t record, uint16_t& number, uint8_t& board) {
  if (record < 0 || !IsOpen()) return false;
  auto held = static_cast<int64_t>(window_.size() / kIndexSize);
  if (record < windowFirst_ || record >= windowFirst_ + held) {
    // Walking backwards reads the records below the wanted one, forwards those above it.
    int64_t first =
        record < windowFirst_ ? std::max<int64_t>(0, record - kIndexWindow + 1) : record;
    window_.resize(static_cast<size_t>(kIndexWindow) * kIndexSize);
    size_t got =
        index_.ReadAt(static_cast<uint64_t>(first) * kIndexSize, window_.data(), window_.size());
    window_.resize(got - got % kIndexSize);
    windowFirst_ = first;
    held = static_cast<int64_t>(window_.size() / kIndexSize);
  }
  if (record < windowFirst_ || record - windowFirst_ >= held) return false;
  size_t at = static_cast<size_t>(record - windowFirst_) * kIndexSize;
  number = GetLe16(window_, at + kIdxNumber);
  board = static_cast<uint8_t>(window_[at + kIdxBoard]);
  return true;
}

// Moves to the next index record in the direction of step (+1 or -1) that holds a message of
// this board numbered above (or below) the current number. Past the end, the current number
// is above every message, so that SeekPrevious then finds the last one.
void HudsonBase::Walk(int step) {
  int64_t record = record_ + step;
  uint16_t number = 0;
  uint8_t board = 0;
  while (IndexAt(record, number, board)) {
    if (number != kDeletedNumber && board == board_ &&
        (step > 0 ? number > number_ : number < number_)) {
      record_ = record;
      number_ = number;
      found_ = true;
      return;
    }
    record += step;
  }
  found_ = false;
  record_ = step > 0 ? record : -1;
  number_ = step > 0 ? 0x10000 : 0;
}

void HudsonBase::SeekFrom(int32_t number) {
  // Other programs may have added messages: the window is read afresh.
  window_.clear();
  record_ = -1;
  number_ = number - 1;
  Walk(+1);
}

void HudsonBase::SeekNext() { Walk(+1); }

void HudsonBase::SeekPrevious() { Walk(-1); }

void HudsonBase::SetLocation(int32_t location) {
  uint16_t number = 0;
  uint8_t board = 0;
  found_ = IndexAt(location, number, board) && number != kDeletedNumber && board == board_;
  record_ = found_ ? location : -1;
  number_ = found_ ? number : 0;
}

// --- Reading the current message ---------------------------------------------------------

void HudsonBase::LoadHeader() {
  header_.assign(kHeaderSize, '\0');
  origPoint_ = destPoint_ = 0;
  recordStarts_.clear();
  ClearTextWindow();
  if (!found_) return;
  if (headers_.ReadAt(static_cast<uint64_t>(record_) * kHeaderSize, header_.data(), kHeaderSize) !=
      kHeaderSize) {
    header_.assign(kHeaderSize, '\0');
    SetStatus(io::kReadFault);
    return;
  }
  echoed_ = (header_[kHdrMsgAttr] & (msg::kEchoExport | msg::kNetExport)) != 0;
}

// Reads every text record the header names, as far as MSGTXT.BBS goes.
void HudsonBase::StartReading() {
  wrapped_ = false;
  recordStarts_.clear();
  std::string text;
  const int64_t first = HeaderWord(kHdrFirstText);
  const int64_t named = header_.size() == kHeaderSize ? HeaderWord(kHdrTextRecords) : 0;
  const int64_t available = SizeOf(texts_) / static_cast<int64_t>(kTextRecordSize);
  if (named > 0 && first >= available) {
    SetStatus(kTextNotFound);
    SetTextWindow(std::move(text), 0);
    return;
  }
  // A message without text may name a first record anywhere, even past the end.
  int64_t count = std::max<int64_t>(0, std::min({named, available - first, kMaxMessageRecords}));
  if (count < named) SetStatus(kShortText);
  std::string records(static_cast<size_t>(count) * kTextRecordSize, '\0');
  size_t got =
      texts_.ReadAt(static_cast<uint64_t>(first) * kTextRecordSize, records.data(), records.size());
  count = static_cast<int64_t>(got / kTextRecordSize);
  text.reserve(static_cast<size_t>(count) * kTextRecordBytes);
  for (int64_t r = 0; r < count; ++r) {
    const char* record = records.data() + r * kTextRecordSize;
    recordStarts_.push_back(text.size());
    text.append(record + 1, static_cast<unsigned char>(record[0]));
  }
  SetTextWindow(std::move(text), 0);
}

int32_t HudsonBase::TextPosition() {
  if (recordStarts_.empty()) return 0;
  auto after = std::upper_bound(recordStarts_.begin(), recordStarts_.end(), textIndex_);
  auto record = static_cast<size_t>(after - recordStarts_.begin()) - 1;
  return static_cast<int32_t>((record << 16) + (textIndex_ - recordStarts_[record]));
}

void HudsonBase::SetTextPosition(int32_t position) {
  if (recordStarts_.empty() || position < 0) {
    textIndex_ = 0;
    return;
  }
  size_t record = std::min<size_t>(static_cast<uint32_t>(position) >> 16, recordStarts_.size() - 1);
  size_t end = record + 1 < recordStarts_.size() ? recordStarts_[record + 1] : text_.size();
  textIndex_ = std::min(recordStarts_[record] + (position & 0xFFFF), end);
}

// --- Header fields -----------------------------------------------------------------------

std::string HudsonBase::HeaderText(size_t offset) const {
  if (header_.size() != kHeaderSize) return {};
  size_t width = offset == kHdrTime      ? kTimeWidth
                 : offset == kHdrDate    ? kDateWidth
                 : offset == kHdrSubject ? kSubjectWidth
                                         : kNameWidth;
  size_t length = std::min<size_t>(static_cast<unsigned char>(header_[offset]), width);
  return header_.substr(offset + 1, length);
}

void HudsonBase::PutHeaderText(size_t offset, size_t width, std::string_view text) {
  std::string field = CutTo(text, width);
  header_[offset] = static_cast<char>(field.size());
  header_.replace(offset + 1, width, width, '\0');
  header_.replace(offset + 1, field.size(), field);
}

uint16_t HudsonBase::HeaderWord(size_t offset) const {
  return header_.size() == kHeaderSize ? GetLe16(header_, offset) : 0;
}

void HudsonBase::PutHeaderWord(size_t offset, uint16_t value) {
  if (header_.size() == kHeaderSize) PutLe16(header_, offset, value);
}

std::string HudsonBase::FromName() { return HeaderText(kHdrFrom); }
std::string HudsonBase::ToName() { return HeaderText(kHdrTo); }
std::string HudsonBase::Subject() { return HeaderText(kHdrSubject); }
std::string HudsonBase::DateText() { return HeaderText(kHdrDate); }
std::string HudsonBase::TimeText() { return HeaderText(kHdrTime); }
uint16_t HudsonBase::Cost() { return HeaderWord(kHdrCost); }
int32_t HudsonBase::ReplyTo() { return HeaderWord(kHdrReplyTo); }
int32_t HudsonBase::SeeAlso() { return HeaderWord(kHdrSeeAlso); }

void HudsonBase::GetOrigAddress(NetAddress& address) {
  if (header_.size() != kHeaderSize) {
    address = {};
    return;
  }
  address = {static_cast<unsigned char>(header_[kHdrOrigZone]), HeaderWord(kHdrOrigNet),
             HeaderWord(kHdrOrigNode), origPoint_};
}

void HudsonBase::GetDestAddress(NetAddress& address) {
  if (header_.size() != kHeaderSize) {
    address = {};
    return;
  }
  address = {static_cast<unsigned char>(header_[kHdrDestZone]), HeaderWord(kHdrDestNet),
             HeaderWord(kHdrDestNode), destPoint_};
}

bool HudsonBase::HasAttributeBit(uint16_t bit) {
  if (header_.size() != kHeaderSize) return false;
  for (const AttributeBit& a : kAttributeBits)
    if (a.common == bit) return (header_[a.offset] & a.bit) != 0;
  return false;
}

bool HudsonBase::IsDeleted() {
  return header_.size() == kHeaderSize && (header_[kHdrMsgAttr] & msg::kDeleted) != 0;
}

}  // namespace vm
