#include "msgbase/fido/fido_msg_base.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <random>

#include "msgbase/fido/fido_kludges.h"
#include "platform/file_system.h"
#include "platform/host.h"
#include "platform/host_files.h"
#include "platform/host_path.h"
#include "platform/io_result.h"
#include "text/cp866.h"
#include "text/date_text.h"
#include "text/dos_time.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

// Header fields (190 bytes, little-endian).
constexpr size_t kFromName = 0;     // 36 bytes, zero-filled
constexpr size_t kToName = 36;      // 36 bytes
constexpr size_t kSubject = 72;     // 72 bytes
constexpr size_t kDateField = 144;  // 20 bytes of text
constexpr size_t kNameWidth = 36;
constexpr size_t kSubjectWidth = 72;
constexpr size_t kDateFieldWidth = 20;
constexpr size_t kDestNode = 166;
constexpr size_t kOrigNode = 168;
constexpr size_t kCost = 170;
constexpr size_t kOrigNet = 172;
constexpr size_t kDestNet = 174;
constexpr size_t kDateWritten = 176;  // packed DOS date word, then time word
constexpr size_t kDateArrived = 180;
constexpr size_t kReplyTo = 184;
constexpr size_t kAttributes = 186;
constexpr size_t kSeeAlso = 188;
constexpr size_t kTextStart = 190;

// Lines are read for the address kludges up to this many bytes.
constexpr size_t kKludgeLineWidth = 128;
// A message file larger than this is damaged; its text is read up to this size.
constexpr size_t kMaxMessageFile = 16 * 1024 * 1024;
constexpr MessageFileLayout kFileLayout{kMaxMessageFile, kTextStart};
// Attempts at a fresh temporary name, and at a free number when other programs keep writing.
// The names are "VM" and six hexadecimal digits, ".TMP": no "*.MSG" search matches them.
constexpr int kTempNameAttempts = 100;
constexpr const char* kTempNameFormat = "VM%06X.TMP";
constexpr const char* kTempNameMask = "VM??????.TMP";
constexpr int kNumberAttempts = 100;

const char* const kUnknownDate = "09-06-89";
const char* const kUnknownTime = "19:76";

std::string Net3D(const NetAddress& a) {
  return std::to_string(a.zone) + ":" + std::to_string(a.net) + "/" + std::to_string(a.node);
}

bool IsIgnoredInLines(unsigned char c) { return c == 10 || c == 0x8D; }

// The first letters of INTL, TOPT and FMPT in either case, and of MSGID after a 0x01.
bool MayStartAddressKludge(unsigned char c, bool afterSoh) {
  switch (c) {
    case 'I':
    case 'i':
    case 'T':
    case 't':
    case 'F':
    case 'f': return true;
    case 'M':
    case 'm': return afterSoh;
    default: return false;
  }
}

// Whether a text line (from `first` up to its carriage return) may be an address kludge once
// the line reader has dropped its line feeds and soft returns: its first byte, after one 0x01,
// starts INTL, TOPT, FMPT or (after the 0x01) MSGID. Most lines are decided by their first
// byte.
bool MayBeAddressKludgeLine(const unsigned char* first, const unsigned char* end) {
  if (first == end) return false;
  if (MayStartAddressKludge(*first, false)) return true;
  if (*first != 0x01 && !IsIgnoredInLines(*first)) return false;
  while (first < end && IsIgnoredInLines(*first)) ++first;
  const bool soh = first < end && *first == 0x01;
  if (soh) ++first;
  while (first < end && IsIgnoredInLines(*first)) ++first;
  return first < end && MayStartAddressKludge(*first, soh);
}

}  // namespace

FidoMsgBase::FidoMsgBase() : readAhead_(kFileLayout) {}

FidoMsgBase::~FidoMsgBase() { DiscardPending(); }

// --- Opening ------------------------------------------------------------------------------

void FidoMsgBase::SetAreaPath(std::string_view locator) {
  programDir_ = WithTrailingSlash(CutTo(locator, 128));
}

uint16_t FidoMsgBase::Open() {
  if (!Exists()) return SetStatus(kOpenMissingDirectory);
  hostDir_ = HostPath(programDir_);
  if (hostDir_.empty() || hostDir_.back() != '/') hostDir_ += '/';
  int error = 0;
  std::vector<std::string> names = ListHostDirectoryFiles(hostDir_, &error);
  // An unreadable directory would look like an empty area.
  if (error != 0) return SetStatus(IoCode(error, false));
  // A run killed while writing a message leaves its temporary file behind.
  if (std::any_of(names.begin(), names.end(),
                  [](const std::string& name) { return MatchesFileMask(name, kTempNameMask); }))
    RemoveStaleHostTemporaries(hostDir_, kTempNameMask);
  numbering_.Fill(std::move(names));
  current_ = 0;
  readAheadPolicy_.Stop();
  return 0;
}

std::string FidoMsgBase::OwnStatusReason(uint16_t code) const {
  switch (code) {
    case kOpenMissingDirectory: return Cp866("нет каталога");
    case kStatusMissing: return Cp866("нет файла сообщения");
    case kStatusUnreadable: return Cp866("файл сообщения не читается");
    case kStatusNoTempName:
    case kStatusTempNotCreated: return Cp866("не создан временный файл");
    case kWriteAreaFull: return Cp866("все номера сообщений заняты");
    case kWriteFailed: return Cp866("ошибка записи сообщения");
    default: return {};
  }
}

uint16_t FidoMsgBase::Close() {
  CloseMessageFile();
  directoryWatch_.Stop();
  directory_.Close();
  readAheadPolicy_.Stop();
  return 0;
}

uint16_t FidoMsgBase::Create(uint16_t, uint16_t) { return MakeDirectories(programDir_) ? 0 : 1; }

bool FidoMsgBase::Exists() { return DirectoryExists(programDir_); }

// --- Seeking ------------------------------------------------------------------------------

void FidoMsgBase::SeekFrom(int32_t number) {
  current_ = number - 1;
  SeekNext();
}

void FidoMsgBase::SeekNext() {
  current_ = current_ >= MsgNumbering::kHighest ? 0 : numbering_.NextAfter(current_);
}

void FidoMsgBase::SeekPrevious() { current_ = numbering_.PreviousBefore(current_); }

std::string FidoMsgBase::MessagePath(int32_t number) const {
  if (const std::string* name = numbering_.NameOf(number)) return hostDir_ + *name;
  // Not seen at Open (another program wrote it since): the usual spellings.
  std::string base = hostDir_ + std::to_string(number);
  for (const char* ext : {".msg", ".MSG", ".Msg"})
    if (HostFileExists(base + ext)) return base + ext;
  return base + ".MSG";
}

// --- Reading ------------------------------------------------------------------------------

void FidoMsgBase::LoadHeader() {
  DiscardPending();
  CloseMessageFile();
  wrapped_ = false;
  status_ = 0;
  fileSize_ = 0;
  if (current_ <= 0 || hostDir_.empty()) {
    status_ = kStatusMissing;
  } else {
    std::optional<MessageFileRead> read = readAhead_.Take(current_);
    const bool readAhead = read.has_value();
    if (!readAhead) read = ReadMessageFile(MessagePath(current_), kFileLayout);
    readAheadPolicy_.Loaded(current_, readAhead);
    if (!read->file.IsOpen()) {
      status_ = read->error == ENOENT ? kStatusMissing : kStatusUnreadable;
    } else {
      // Kept open until the next message, so that IsDeleted asks the file rather than the path.
      messageFile_ = std::move(read->file);
      loadedState_ = read->state;
      loadedNumber_ = current_;
      fileBuffer_ = std::move(read->bytes);
      fileSize_ = read->size;
      textEnd_ = read->textEnd;
      if (read->error != 0) status_ = kStatusUnreadable;
    }
  }
  // A file shorter than the header is damaged: every field reads empty, the text is empty.
  // So is a file that could not be opened or read (for one, as it is not a regular file).
  damagedFile_.clear();
  if (status_ == kStatusUnreadable || (status_ == 0 && fileSize_ < kHeaderSize))
    damagedFile_ = programDir_ + Utf8ToCp866(MessagePath(current_).substr(hostDir_.size()));
  if (status_ != 0) {
    fileSize_ = 0;
    textEnd_ = kTextStart;
  }

  header_.fill(0);
  if (fileSize_ >= kHeaderSize) std::memcpy(header_.data(), fileBuffer_.get(), kHeaderSize);

  orig_ = {defaultZone_, HeaderWord(kOrigNet), HeaderWord(kOrigNode), 0};
  dest_ = {defaultZone_, HeaderWord(kDestNet), HeaderWord(kDestNode), 0};
  dateText_.clear();
  timeText_.clear();
  if (status_ == 0) {
    std::string field(reinterpret_cast<const char*>(header_.data()) + kDateField, kDateFieldWidth);
    if (auto texts = ParseFtscDateField(field)) {
      dateText_ = texts->date;
      timeText_ = texts->time;
    } else {
      dateText_ = kUnknownDate;
      timeText_ = kUnknownTime;
    }
  }
  kludgesScanned_ = status_ != 0;
  ClearTextWindow();
  textOrigin_ = static_cast<int32_t>(kTextStart);
}

void FidoMsgBase::ScanKludges() {
  // Every line of the text is offered to the address-kludge parsers, as the line reader
  // would return it (line feeds and soft returns dropped, 128 bytes at most). Lines that
  // cannot start with INTL, TOPT or FMPT are passed over by their first bytes, without being
  // copied. The scan runs once per message, when an address is first asked for.
  if (kludgesScanned_) return;
  kludgesScanned_ = true;
  AddressKludges found;
  ReadKludgeLines(found);
  ApplyAddressKludges(found, defaultZone_, orig_, dest_);
}

void FidoMsgBase::ReadKludgeLines(AddressKludges& found) const {
  if (textEnd_ <= kTextStart) return;
  const auto* pos = reinterpret_cast<const unsigned char*>(fileBuffer_.get()) + kTextStart;
  const auto* textEnd = pos + (textEnd_ - kTextStart);
  while (pos < textEnd) {
    const void* cr = std::memchr(pos, '\r', static_cast<size_t>(textEnd - pos));
    const auto* lineEnd = cr ? static_cast<const unsigned char*>(cr) : textEnd;
    if (MayBeAddressKludgeLine(pos, lineEnd)) {
      char line[kKludgeLineWidth];
      size_t length = 0;
      for (const auto* p = pos; p < lineEnd && length < kKludgeLineWidth; ++p)
        if (!IsIgnoredInLines(*p)) line[length++] = static_cast<char>(*p);
      ReadAddressKludge(std::string_view(line, length), found);
    }
    if (lineEnd == textEnd) break;
    pos = lineEnd + 1;
  }
}

void FidoMsgBase::StartReading() {
  std::string_view text;
  if (textEnd_ > kTextStart)
    text = std::string_view(fileBuffer_.get() + kTextStart, textEnd_ - kTextStart);
  ShowTextWindow(text, static_cast<int32_t>(kTextStart));
  wrapped_ = false;
}

std::string_view FidoMsgBase::NextLineView(uint16_t maxLength) {
  return MessageBase::NextLineView(std::min<uint16_t>(maxLength, 254));
}

std::string FidoMsgBase::HeaderText(size_t offset, size_t width) const {
  const char* field = reinterpret_cast<const char*>(header_.data()) + offset;
  // Bytes after the terminating zero are left over by other programs: not part of the text.
  return std::string(field, strnlen(field, width));
}

uint16_t FidoMsgBase::HeaderWord(size_t offset) const {
  return static_cast<uint16_t>(header_[offset] | (header_[offset + 1] << 8));
}

std::string FidoMsgBase::FromName() { return HeaderText(kFromName, kNameWidth); }
std::string FidoMsgBase::ToName() { return HeaderText(kToName, kNameWidth); }
std::string FidoMsgBase::Subject() { return HeaderText(kSubject, kSubjectWidth); }
uint16_t FidoMsgBase::Cost() { return HeaderWord(kCost); }
int32_t FidoMsgBase::ReplyTo() { return HeaderWord(kReplyTo); }
int32_t FidoMsgBase::SeeAlso() { return HeaderWord(kSeeAlso); }
bool FidoMsgBase::HasAttributeBit(uint16_t bit) { return (HeaderWord(kAttributes) & bit) != 0; }

void FidoMsgBase::GetOrigAddress(NetAddress& address) {
  ScanKludges();
  address = orig_;
}

void FidoMsgBase::GetDestAddress(NetAddress& address) {
  ScanKludges();
  address = dest_;
}

bool FidoMsgBase::IsDeleted() {
  if (current_ <= 0 || hostDir_.empty()) return true;
  // The file loaded for this message still has a name: one fstat, no path lookup. A file that
  // lost its last name, and a message that is not the loaded one (or failed to load), are
  // looked up by path; DeleteMessage closes the file, so our own deletes take that way too.
  // A loaded file that another program renamed away still counts as present, as its text
  // was read whole.
  if (loadedNumber_ == current_ && messageFile_.LinkCount() > 0) return false;
  return !HostFileExists(MessagePath(current_));
}

bool FidoMsgBase::MessageSettled() {
  constexpr int64_t kSettleNs = 1'000'000'000;
  if (loadedNumber_ != current_ || !messageFile_.IsOpen()) return true;
  const FileState now = messageFile_.State();
  if (now.size != loadedState_.size || now.modifiedNs != loadedState_.modifiedNs) return false;
  const int64_t nowNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
  return nowNs - loadedState_.modifiedNs >= kSettleNs;
}

std::string FidoMsgBase::DamagedMessageFile() { return damagedFile_; }

void FidoMsgBase::CloseMessageFile() {
  messageFile_.Close();
  loadedNumber_ = 0;
}

void FidoMsgBase::WillLoad(std::span<const int32_t> numbers) { readAheadPolicy_.Announce(numbers); }

// --- Writing ------------------------------------------------------------------------------

void FidoMsgBase::DiscardPending() {
  tempFile_.Close();
  if (!tempPath_.empty()) RemoveHostFile(tempPath_);
  tempPath_.clear();
  pending_ = false;
}

void FidoMsgBase::StartNewMessage() {
  DiscardPending();
  CloseMessageFile();
  readAheadPolicy_.Stop();
  status_ = 0;
  fileSize_ = 0;
  textEnd_ = kTextStart;
  damagedFile_.clear();
  ClearTextWindow();
  header_.fill(0);
  orig_ = {};
  dest_ = {};
  kludgesScanned_ = true;
  dateText_.clear();
  timeText_.clear();
  newText_.clear();
  // The message is composed in memory; its file is made when it is written.
  pending_ = !hostDir_.empty();
  if (!pending_) status_ = kStatusNoTempName;
}

bool FidoMsgBase::CreateTemporary() {
  // CreateNew fails when the name is taken.
  uint32_t seed = std::random_device{}();
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    char name[16];
    std::snprintf(name, sizeof name, kTempNameFormat, (seed + attempt * 7919u) & 0xFFFFFF);
    std::string path = hostDir_ + name;
    if (tempFile_.OpenHost(path, OpenMode::CreateNew)) {
      tempFile_.ClaimTemporary();
      tempPath_ = path;
      return true;
    }
    if (tempFile_.LastError() != EEXIST) {
      status_ = kStatusTempNotCreated;
      return false;
    }
  }
  status_ = kStatusNoTempName;
  return false;
}

void FidoMsgBase::PutHeaderText(size_t offset, size_t width, std::string_view text) {
  std::fill_n(header_.begin() + offset, width, 0);
  text = text.substr(0, std::min(text.size(), width - 1));
  std::memcpy(header_.data() + offset, text.data(), text.size());
}

void FidoMsgBase::PutHeaderWord(size_t offset, uint16_t value) {
  header_[offset] = static_cast<unsigned char>(value & 0xFF);
  header_[offset + 1] = static_cast<unsigned char>(value >> 8);
}

void FidoMsgBase::SetAttributeBit(uint16_t bit, bool on) {
  uint16_t word = HeaderWord(kAttributes);
  PutHeaderWord(kAttributes, on ? word | bit : word & ~bit);
}

void FidoMsgBase::SetFromName(std::string_view name) { PutHeaderText(kFromName, kNameWidth, name); }
void FidoMsgBase::SetToName(std::string_view name) { PutHeaderText(kToName, kNameWidth, name); }
void FidoMsgBase::SetSubject(std::string_view subject) {
  PutHeaderText(kSubject, kSubjectWidth, subject);
}
void FidoMsgBase::SetCost(uint16_t cost) { PutHeaderWord(kCost, cost); }
void FidoMsgBase::SetReplyTo(int32_t number) {
  PutHeaderWord(kReplyTo, static_cast<uint16_t>(number));
}
void FidoMsgBase::SetSeeAlso(int32_t number) {
  PutHeaderWord(kSeeAlso, static_cast<uint16_t>(number));
}

void FidoMsgBase::SetDateText(std::string_view mmddyy) {
  dateText_ = CutTo(mmddyy, 8);
  WriteDateField();
}

void FidoMsgBase::SetTimeText(std::string_view hhmm) {
  timeText_ = CutTo(hhmm, 5);
  WriteDateField();
}

void FidoMsgBase::WriteDateField() {
  PutHeaderText(kDateField, kDateFieldWidth, FtscDateField(dateText_, timeText_));
}

void FidoMsgBase::PutAddressKludge(std::string_view kludge) {
  if (!newText_.empty() && newText_.back() != '\r') PutChar('\r');
  PutLine(kludge);
}

void FidoMsgBase::SetOrigAddress(const NetAddress& address) {
  ScanKludges();
  orig_ = address;
  PutHeaderWord(kOrigNet, address.net);
  PutHeaderWord(kOrigNode, address.node);
  if (kind_ != MailKind::Netmail) return;
  if (address.point != 0)
    PutAddressKludge(
        "\x01"
        "FMPT " +
        std::to_string(address.point));
  if (dest_.zone != 0) PutAddressKludge("\x01INTL " + Net3D(dest_) + " " + Net3D(orig_));
}

void FidoMsgBase::SetDestAddress(const NetAddress& address) {
  ScanKludges();
  dest_ = address;
  PutHeaderWord(kDestNet, address.net);
  PutHeaderWord(kDestNode, address.node);
  if (kind_ != MailKind::Netmail) return;
  if (address.point != 0) PutAddressKludge("\x01TOPT " + std::to_string(address.point));
  if (orig_.zone != 0) PutAddressKludge("\x01INTL " + Net3D(dest_) + " " + Net3D(orig_));
}

void FidoMsgBase::PutText(std::string_view text) { newText_ += text; }

void FidoMsgBase::PutChar(unsigned char c) { newText_ += static_cast<char>(c); }

uint16_t FidoMsgBase::WriteMessage() {
  if (!pending_) return status_ != 0 ? status_ : kStatusTempNotCreated;
  PutChar(0);
  uint32_t arrived = PackDosDateTime(LocalNow());
  PutHeaderWord(kDateArrived, static_cast<uint16_t>(arrived >> 16));
  PutHeaderWord(kDateArrived + 2, static_cast<uint16_t>(arrived & 0xFFFF));
  const DateTime written = ReadDateTimeTexts(dateText_, timeText_).ToDateTime();
  PutHeaderWord(kDateWritten, PackDosDate(written.year, written.month, written.day));
  PutHeaderWord(kDateWritten + 2, PackDosTime(written.hour, written.minute, 0));
  return FileNewMessage();
}

uint16_t FidoMsgBase::FileNewMessage() {
  // The message is written whole, by one write, into a file that readers of the directory
  // cannot see until it has its number: an unnamed one where the file system makes them
  // (nothing is left behind by a kill), else a temporary name that no "*.MSG" search matches.
  std::string bytes(reinterpret_cast<const char*>(header_.data()), kHeaderSize);
  bytes += newText_;
  if (directory_.Path() != hostDir_) OpenDirectory();
  const bool unnamed = directory_.IsOpen() && tempFile_.CreateUnnamedIn(directory_);
  if (!unnamed && !CreateTemporary()) {
    DiscardPending();
    return status_;
  }
  bool written = tempFile_.WriteAt(0, bytes.data(), bytes.size());
  // A temporary name is let go before its rename (the claim is a lock on the open file).
  if (!unnamed) tempFile_.Close();
  if (!written) {
    DiscardPending();
    return kWriteFailed;
  }
  // Another program may have written messages since the area was opened, in other spellings
  // than ours (naming below never replaces the same name): the watch on the directory tells
  // their names, and where it cannot the next number is looked up in the other spellings.
  const bool othersKnown = LearnNamesMadeByOthers();
  for (int attempt = 0; attempt < kNumberAttempts; ++attempt) {
    int32_t number = HighNumber() + 1;
    const std::string base = std::to_string(number);
    if (!othersKnown &&
        (unnamed ? directory_.HasFile(base + ".MSG") || directory_.HasFile(base + ".Msg")
                 : HostFileExists(hostDir_ + base + ".MSG") ||
                       HostFileExists(hostDir_ + base + ".Msg"))) {
      numbering_.Fill(ListHostDirectoryFiles(hostDir_));
      continue;
    }
    // Numbers above 31999 are not read by anyone: the message would be lost.
    if (number > MsgNumbering::kHighest) {
      DiscardPending();
      return kWriteAreaFull;
    }
    // Lower case, as tossers on this host look for "*.msg" only.
    std::string name = base + ".msg";
    if (unnamed ? tempFile_.NameIn(directory_, name)
                : RenameHostFileNoReplace(tempPath_, hostDir_ + name)) {
      tempFile_.Close();
      tempPath_.clear();
      pending_ = false;
      numbering_.Add(number, name);
      current_ = number;
      return 0;
    }
    if (!HostFileExists(hostDir_ + name)) break;  // a failure other than a taken number
    numbering_.Fill(ListHostDirectoryFiles(hostDir_));
  }
  DiscardPending();
  return kWriteFailed;
}

void FidoMsgBase::OpenDirectory() {
  // The directory stays open while the area is: names are made and looked up from it.
  directory_.Open(hostDir_);
  WatchDirectory();
}

void FidoMsgBase::WatchDirectory() {
  // Listed again once watched, for the names made since the area was opened.
  if (directory_.IsOpen() && directoryWatch_.Start(directory_.Descriptor()))
    numbering_.Fill(ListHostDirectoryFiles(hostDir_));
}

bool FidoMsgBase::LearnNamesMadeByOthers() {
  if (!directoryWatch_.Watching()) return false;
  const ChangeWatch::Changes changes = directoryWatch_.Collect();
  // (Our own names come back too, and change nothing.)
  for (const std::string& name : changes.names) numbering_.AddName(name);
  if (changes.certain) return true;
  // More happened than the watch kept: watched and listed afresh.
  WatchDirectory();
  return directoryWatch_.Watching();
}

// --- Housekeeping -------------------------------------------------------------------------

void FidoMsgBase::DeleteMessage() {
  if (current_ <= 0 || hostDir_.empty()) return;
  CloseMessageFile();
  readAheadPolicy_.Stop();
  RemoveHostFile(MessagePath(current_));
  numbering_.Remove(current_);
}

int32_t FidoMsgBase::GetLastRead(uint32_t user) {
  File file;
  if (!file.Open(programDir_ + "LastRead", OpenMode::Read)) return 0;
  uint64_t offset = 2ull * user;
  unsigned char bytes[2];
  // A user beyond the end of the file has not read anything yet.
  if (file.Size() < static_cast<int64_t>(offset + 2) || file.ReadAt(offset, bytes, 2) != 2)
    return 0;
  return bytes[0] | (bytes[1] << 8);
}

void FidoMsgBase::SetLastRead(uint32_t user, int32_t number) {
  // The file holds one 16-bit slot per user; a huge user number would only make a huge
  // sparse file.
  if (user > 0xFFFF) return;
  std::string path = programDir_ + "LastRead";
  File file;
  if (!file.Open(path, OpenMode::ReadWrite) && !file.Open(path, OpenMode::CreateNew)) return;
  uint64_t offset = 2ull * user;
  if (file.Size() < static_cast<int64_t>(offset + 2)) file.Truncate(offset + 2);
  unsigned char bytes[2] = {static_cast<unsigned char>(number & 0xFF),
                            static_cast<unsigned char>((number >> 8) & 0xFF)};
  file.WriteAt(offset, bytes, 2);
}

}  // namespace vm
