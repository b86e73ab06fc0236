// JamBase: creating a base, composing and writing messages, changing headers in place, and
// the last-read records.
#include <algorithm>

#include "msgbase/jam/jam_base.h"
#include "msgbase/jam/jam_crc.h"
#include "msgbase/jam/jam_layout.h"
#include "msgbase/jam/jam_time.h"
#include "platform/file_system.h"
#include "platform/host.h"
#include "platform/host_path.h"
#include "text/date_text.h"

namespace vm {
namespace {

using namespace jam;

// Header offsets in the index are signed (negative marks an empty slot), text offsets and
// lengths are 32-bit, and message numbers reach callers as signed 32-bit numbers: a base
// cannot grow past these.
constexpr uint64_t kMaxHeaderEnd = 0x7FFFFFFF;
constexpr uint64_t kMaxTextEnd = 0xFFFFFFFF;
constexpr int64_t kMaxNumber = 0x7FFFFFFF;

uint32_t KindBit(MailKind kind) {
  switch (kind) {
    case MailKind::Local: return bit::kTypeLocal;
    case MailKind::Echomail: return bit::kTypeEcho;
    case MailKind::Netmail: return bit::kTypeNet;
  }
  return bit::kTypeEcho;
}

}  // namespace

uint16_t JamBase::Create(uint16_t maxMessages, uint16_t daysToKeep) {
  std::string dir = WithoutTrailingSlash(SplitPath(path_).dir);
  if (!dir.empty() && !DirectoryExists(dir)) MakeDirectories(dir);

  std::string header(kBaseHeaderSize, '\0');
  header.replace(kBaseSignature, kSignature.size(), kSignature);
  PutLe32(header, kBaseCreated, JamTimeFrom(LocalNow()));
  PutLe32(header, kBasePassword, kNoCrc);
  PutLe32(header, kBaseNumber, 1);
  File file;
  if (!file.Open(FileName(".jhr"), OpenMode::Create) ||
      !file.WriteAt(0, header.data(), header.size()))
    return IoError(file);
  for (std::string_view extension : {".jlr", ".jdt", ".jdx"}) {
    if (!file.Open(FileName(extension), OpenMode::Create)) return IoError(file);
  }
  return 0;
}

void JamBase::SetCost(uint16_t cost) { SetFixed(kHdrCost, cost); }
void JamBase::SetReplyTo(int32_t number) { SetFixed(kHdrReplyTo, static_cast<uint32_t>(number)); }
void JamBase::SetSeeAlso(int32_t number) {
  SetFixed(kHdrFirstReply, static_cast<uint32_t>(number));
}
void JamBase::SetNextSeeAlso(int32_t number) {
  SetFixed(kHdrNextReply, static_cast<uint32_t>(number));
}

void JamBase::StartNewMessage() {
  ResetMessage();
  composedAt_ = LocalNow();
  dateText_ = DateTextOf(composedAt_);
  timeText_ = TimeTextOf(composedAt_);
}

void JamBase::PutKludge(std::string_view kludge) {
  std::optional<Subfield> field = FileKludgeLine(kludge);
  if (!field) return;
  if (field->id == sub::kMsgId) SetFixed(kHdrMsgIdCrc, JamCrc(field->data));
  if (field->id == sub::kReply) SetFixed(kHdrReplyCrc, JamCrc(field->data));
  kludgeSubfields_.push_back(std::move(*field));
}

uint16_t JamBase::WriteMessage() {
  if (composed_.empty() || composed_.back() != '\r') composed_ += "\r\n";

  // The date written is the one the caller set; when it is still the moment the message
  // was started, that moment keeps its seconds.
  DateTime written = composedAt_;
  if (dateText_ != DateTextOf(composedAt_) || timeText_ != TimeTextOf(composedAt_)) {
    const DateTimeFields set = ReadDateTimeTexts(dateText_, timeText_);
    if (set.HasDate() && set.HasTime()) written = set.ToDateTime();
  }
  fixed_.replace(kHdrSignature, kSignature.size(), kSignature);
  PutLe16(fixed_, kHdrRevision, kRevision);
  SetFixed(kHdrTimesRead, 1);
  SetFixed(kHdrDateWritten, JamTimeFrom(written));
  SetFixed(kHdrDateProcessed, JamTimeFrom(written));
  SetAttribute(bit::kTypeLocal | bit::kTypeEcho | bit::kTypeNet, false);
  SetAttribute(KindBit(kind_), true);

  if (!Lock()) {
    Unlock();
    return kLockFailed;
  }
  CheckActiveCount();
  uint16_t result = AppendMessage();
  if (!Unlock() && result == 0) result = IoError(jhr_);
  return result;
}

uint16_t JamBase::AppendMessage() {
  std::vector<Subfield> subfields =
      LeadingSubfields(fromName_, orig_, toName_, dest_, subject_, IsFileRequest());
  subfields.insert(subfields.end(), kludgeSubfields_.begin(), kludgeSubfields_.end());
  std::string area = EncodeSubfields(subfields);

  // Under the lock no other program changes the files' lengths: asked once per lock hold, they
  // are then kept here as this object's writes move them.
  if (!ends_) ends_ = FileEnds{jdt_.Size(), jhr_.Size(), jdx_.Size()};
  const FileEnds ends = *ends_;
  ends_.reset();  // unknown again unless every write below succeeds
  if (ends.text < 0) return IoError(jdt_);
  if (ends.headers < 0) return IoError(jhr_);
  if (ends.index < 0) return IoError(jdx_);
  int64_t number = BaseNumber() + ends.index / static_cast<int64_t>(kIndexRecordSize);
  int64_t textOffset = ends.text;
  int64_t headerOffset = ends.headers;
  if (number > kMaxNumber || textOffset + composed_.size() > kMaxTextEnd ||
      headerOffset + kFixedSize + area.size() > kMaxHeaderEnd)
    return SetStatus(kBaseFull);
  SetFixed(kHdrSubfieldLength, static_cast<uint32_t>(area.size()));
  SetFixed(kHdrNumber, static_cast<uint32_t>(number));
  SetFixed(kHdrTextOffset, static_cast<uint32_t>(textOffset));
  SetFixed(kHdrTextLength, static_cast<uint32_t>(composed_.size()));

  // Text first, then the header, and the index record last: until that record is written no
  // reader finds the message, so a failure part-way leaves no broken message behind. The
  // active count follows at Unlock; a kill before it leaves a count that CheckActiveCount
  // mends at the next change.
  if (!jdt_.WriteAt(static_cast<uint64_t>(textOffset), composed_.data(), composed_.size()))
    return IoError(jdt_);
  std::string header = fixed_ + area;
  if (!jhr_.WriteAt(static_cast<uint64_t>(headerOffset), header.data(), header.size()))
    return IoError(jhr_);
  std::string record(kIndexRecordSize, '\0');
  PutLe32(record, kIdxNameCrc, JamCrc(toName_));
  PutLe32(record, kIdxHeaderOffset, static_cast<uint32_t>(headerOffset));
  if (!jdx_.WriteAt(static_cast<uint64_t>(number - BaseNumber()) * kIndexRecordSize, record.data(),
                    record.size()))
    return IoError(jdx_);
  window_.clear();
  ends_ = FileEnds{textOffset + static_cast<int64_t>(composed_.size()),
                   headerOffset + static_cast<int64_t>(header.size()),
                   (number - BaseNumber() + 1) * static_cast<int64_t>(kIndexRecordSize)};

  SetBaseField(kBaseActive, BaseField(kBaseActive) + 1);
  SetBaseField(kBaseModCounter, BaseField(kBaseModCounter) + 2);
  current_ = number;
  headerOffset_ = static_cast<uint32_t>(headerOffset);
  return AppendListLine(number);
}

uint16_t JamBase::AppendListLine(int64_t number) {
  // Tossers learn from these lists which bases hold new messages to export.
  // The list stays open for the next message; a tosser that takes it away meanwhile gets the
  // next line in the file it leaves at the path.
  std::string list = SplitPath(path_).dir;
  list += kind_ == MailKind::Netmail ? "NETMAIL.JAM" : "ECHOMAIL.JAM";
  SharedAppendFile& file = kind_ == MailKind::Netmail ? netmailList_ : echomailList_;
  std::string line = path_ + " " + std::to_string(number) + "\r\n";
  if (!file.Append(list, line)) return SetStatus(IoCode(file.LastError(), true));
  return 0;
}

void JamBase::RewriteHeader() {
  if (!headerOffset_) return;
  if (Lock()) jhr_.WriteAt(*headerOffset_, fixed_.data(), kFixedSize);
  Unlock();
}

// Before a change under the lock: unless the base header is the one this object left, the
// active count is counted again. Marking a message deleted and lowering the count are two
// writes (the header, then the base header at Unlock), as are adding one and raising it; a
// process killed between them, or another program, may have left a count that is off. The
// modification counter then missed that change too: it is raised, so that readers that keep
// what they read until the counter moves look again.
void JamBase::CheckActiveCount() {
  if (countKnown_) return;
  uint32_t active = CountActive();
  if (active != BaseField(kBaseActive)) {
    SetBaseField(kBaseActive, active);
    SetBaseField(kBaseModCounter, BaseField(kBaseModCounter) + 1);
  }
  countKnown_ = true;
}

uint16_t JamBase::Mend() {
  if (!jhr_.IsOpen()) return SetStatus(kNotJamBase);
  uint16_t rc = 0;
  if (Lock()) {
    CheckActiveCount();
  } else {
    rc = status_ != 0 ? status_ : kLockFailed;
  }
  if (!Unlock() && rc == 0) rc = IoError(jhr_);
  return SetStatus(rc);
}

void JamBase::DeleteMessage() {
  if (!headerOffset_ || IsDeleted()) return;
  if (Lock()) {
    CheckActiveCount();
    // Another program may have changed the header since it was loaded (marked it sent, or
    // deleted it): the header on disk is the one to change.
    std::string fixed;
    if (ReadFixedPart(*headerOffset_, fixed) && !(GetLe32(fixed, kHdrAttribute) & bit::kDeleted)) {
      fixed_ = std::move(fixed);
      SetAttribute(bit::kDeleted, true);
      if (jhr_.WriteAt(*headerOffset_, fixed_.data(), kFixedSize) && BaseField(kBaseActive) > 0)
        SetBaseField(kBaseActive, BaseField(kBaseActive) - 1);
    }
  }
  Unlock();
}

int32_t JamBase::GetLastRead(uint32_t user) {
  File file;
  if (!file.Open(FileName(".jlr"), OpenMode::Read)) return 0;
  std::string record(kLastReadRecordSize, '\0');
  for (uint64_t at = 0; file.ReadAt(at, record.data(), record.size()) == record.size();
       at += kLastReadRecordSize) {
    if (GetLe32(record, kLrUser) == user) return static_cast<int32_t>(GetLe32(record, kLrLastRead));
  }
  return 0;
}

void JamBase::SetLastRead(uint32_t user, int32_t number) {
  File file;
  if (!file.Open(FileName(".jlr"), OpenMode::ReadWrite) &&
      !file.Open(FileName(".jlr"), OpenMode::CreateNew))
    return;
  std::string record(kLastReadRecordSize, '\0');
  uint64_t at = 0;
  bool found = false;
  for (; file.ReadAt(at, record.data(), record.size()) == record.size();
       at += kLastReadRecordSize) {
    if (GetLe32(record, kLrUser) == user) {
      found = true;
      break;
    }
  }
  if (!found) {
    // A new record: the user's name is not known here, so its CRC is that of no name.
    record.assign(kLastReadRecordSize, '\0');
    PutLe32(record, kLrUserCrc, kNoCrc);
    PutLe32(record, kLrUser, user);
  }
  auto value = static_cast<uint32_t>(number);
  PutLe32(record, kLrLastRead, value);
  PutLe32(record, kLrHighRead, std::max(GetLe32(record, kLrHighRead), value));
  file.WriteAt(at, record.data(), record.size());
}

}  // namespace vm
