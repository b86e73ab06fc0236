// JamBase: opening, locking, the index, seeking and reading messages.
#include "msgbase/jam/jam_base.h"

#include <algorithm>
#include <limits>

#include "msgbase/jam/jam_crc.h"
#include "msgbase/jam/jam_layout.h"
#include "msgbase/jam/jam_time.h"
#include "platform/file_system.h"
#include "text/cp866.h"
#include "text/date_text.h"

namespace vm {
namespace {

using namespace jam;

constexpr size_t kMaxPathLength = 124;
// Index records read at a time: walking the index costs one read per this many slots, so
// that a long run of empty slots costs no more than reading them.
constexpr int64_t kIndexWindow = 8192;
// Real headers carry a few kilobytes of subfields at most; a larger declared length is
// damage, and reading it all could exhaust memory.
constexpr uint64_t kMaxSubfieldArea = 1 << 20;
// The same for a text length: far above any real message.
constexpr uint64_t kMaxTextLength = 64u << 20;

// A header offset that marks an empty slot: negative, or inside the base header (an index of
// zeros), where no message header can be.
bool EmptyOffset(uint32_t offset) {
  return static_cast<int32_t>(offset) < 0 || offset < kBaseHeaderSize;
}

bool OpenShared(File& file, const std::string& path) {
  // A base on read-only media can still be read.
  return file.Open(path, OpenMode::ReadWrite) || file.Open(path, OpenMode::Read);
}

}  // namespace

uint16_t JamBase::IoError(const File& file, bool writing) {
  return SetStatus(IoCode(file.LastError(), writing));
}

std::string JamBase::OwnStatusReason(uint16_t code) const {
  switch (code) {
    case kNotJamBase: return Cp866("повреждён заголовок базы");
    case kBaseFull: return Cp866("база заполнена");
    default: return {};
  }
}

JamBase::~JamBase() { Close(); }

int32_t JamBase::Clamp32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

void JamBase::SetAreaPath(std::string_view locator) {
  path_ = std::string(locator.substr(0, kMaxPathLength));
}

bool JamBase::Exists() { return FileExists(FileName(".jhr")); }

uint16_t JamBase::Open() {
  Close();
  if (!OpenShared(jhr_, FileName(".jhr"))) return SetStatus(IoCode(jhr_, FileName(".jhr"), false));
  // Message numbers are handed out as signed 32-bit numbers: a base number past them is
  // damage, not a base to number from.
  if (!ReadBaseHeader() || BaseNumber() > std::numeric_limits<int32_t>::max()) {
    Close();
    return SetStatus(kNotJamBase);
  }
  const std::pair<File*, std::string_view> others[] = {{&jdt_, ".jdt"}, {&jdx_, ".jdx"}};
  for (const auto& [file, extension] : others) {
    if (!OpenShared(*file, FileName(extension))) {
      uint16_t code = IoError(*file, false);
      Close();
      return code;
    }
  }
  window_.clear();
  current_ = BaseNumber() - 1;
  ResetMessage();
  return SetStatus(0);
}

uint16_t JamBase::Close() {
  // A lock left taken is given back, with the base header it guards.
  if (lockDepth_ > 0) {
    lockDepth_ = 1;
    Unlock();
  }
  jhr_.Close();
  jdt_.Close();
  jdx_.Close();
  echomailList_.Close();
  netmailList_.Close();
  return 0;
}

bool JamBase::ReadBaseHeader() {
  std::string header(kBaseHeaderSize, '\0');
  if (jhr_.ReadAt(0, header.data(), header.size()) != header.size()) return false;
  if (std::string_view(header).substr(kBaseSignature, 4) != kSignature) return false;
  baseHeader_ = std::move(header);
  return true;
}

uint32_t JamBase::BaseField(size_t offset) const {
  return baseHeader_.size() == kBaseHeaderSize ? GetLe32(baseHeader_, offset) : 0;
}

void JamBase::SetBaseField(size_t offset, uint32_t value) {
  PutLe32(baseHeader_, offset, value);
  baseHeaderChanged_ = true;
}

int64_t JamBase::BaseNumber() const { return BaseField(kBaseNumber); }

bool JamBase::Lock() {
  if (++lockDepth_ > 1) return lockHeld_;
  lockHeld_ = jhr_.IsOpen() && jhr_.LockRange(0, 1);
  if (!lockHeld_) {
    SetStatus(io::kLockViolation);
    return false;
  }
  // Other programs may have written since the base header was read.
  baseHeaderChanged_ = false;
  ends_.reset();
  if (!ReadBaseHeader()) {
    SetStatus(kNotJamBase);
    return false;
  }
  countKnown_ = baseHeader_ == knownBaseHeader_;
  return true;
}

bool JamBase::Unlock() {
  if (lockDepth_ == 0) return false;
  if (--lockDepth_ > 0) return lockHeld_;
  if (!lockHeld_) return false;
  bool ok = true;
  if (baseHeaderChanged_) ok = jhr_.WriteAt(0, baseHeader_.data(), baseHeader_.size());
  baseHeaderChanged_ = false;
  knownBaseHeader_ = ok && countKnown_ ? baseHeader_ : std::string();
  ends_.reset();
  ok = jhr_.UnlockRange(0, 1) && ok;
  lockHeld_ = false;
  return ok;
}

int32_t JamBase::ActiveCount() {
  // Outside a lock the count on disk is the freshest; inside, ours is.
  if (lockDepth_ == 0) ReadBaseHeader();
  return Clamp32(BaseField(kBaseActive));
}

int64_t JamBase::High() {
  int64_t size = std::max<int64_t>(jdx_.Size(), 0);
  return BaseNumber() + size / static_cast<int64_t>(kIndexRecordSize) - 1;
}

std::optional<JamBase::IndexSlot> JamBase::ReadSlot(int64_t number, int64_t high) {
  if (number < BaseNumber() || number > high) return std::nullopt;
  auto held = static_cast<int64_t>(window_.size() / kIndexRecordSize);
  if (number < windowFirst_ || number >= windowFirst_ + held) {
    // Seeking backwards reads the records below the wanted one, forwards those above it.
    int64_t first =
        number < windowFirst_ ? std::max(BaseNumber(), number - kIndexWindow + 1) : number;
    int64_t count = std::min(kIndexWindow, high - first + 1);
    window_.resize(static_cast<size_t>(count) * kIndexRecordSize);
    size_t got = jdx_.ReadAt(static_cast<uint64_t>(first - BaseNumber()) * kIndexRecordSize,
                             window_.data(), window_.size());
    window_.resize(got - got % kIndexRecordSize);
    windowFirst_ = first;
    held = static_cast<int64_t>(window_.size() / kIndexRecordSize);
  }
  // A short read (the index shrank meanwhile) leaves the number outside the window.
  if (number - windowFirst_ >= held) return std::nullopt;
  size_t at = static_cast<size_t>(number - windowFirst_) * kIndexRecordSize;
  return IndexSlot{GetLe32(window_, at + kIdxNameCrc), GetLe32(window_, at + kIdxHeaderOffset)};
}

uint32_t JamBase::CountActive() {
  int64_t high = High();
  uint32_t active = 0;
  std::string fixed;
  for (int64_t number = NextHeld(BaseNumber(), high, 1); number <= high;
       number = NextHeld(number + 1, high, 1)) {
    if (ReadFixedPart(ReadSlot(number, high)->headerOffset, fixed) &&
        !(GetLe32(fixed, kHdrAttribute) & bit::kDeleted))
      ++active;
  }
  return active;
}

bool JamBase::ReadFixedPart(uint32_t offset, std::string& fixed) {
  // An offset inside the base header or past the end of .JHR points at no message header.
  if (offset < kBaseHeaderSize) return false;
  int64_t size = jhr_.Size();
  if (size < 0 || offset + static_cast<uint64_t>(kFixedSize) > static_cast<uint64_t>(size))
    return false;
  fixed.assign(kFixedSize, '\0');
  if (jhr_.ReadAt(offset, fixed.data(), kFixedSize) != kFixedSize) return false;
  return std::string_view(fixed).substr(kHdrSignature, 4) == kSignature;
}

bool JamBase::HoldsMessage(int64_t number, int64_t high) {
  std::optional<IndexSlot> slot = ReadSlot(number, high);
  if (!slot || EmptyOffset(slot->headerOffset)) return false;
  if (slot->nameCrc != kNoCrc) return true;
  // Some programs empty a slot by setting only the name CRC to 0xFFFFFFFF, but a message to
  // nobody has that CRC too: such a slot holds a message only when its offset leads to the
  // header of that number, not deleted.
  std::string fixed;
  return ReadFixedPart(slot->headerOffset, fixed) && GetLe32(fixed, kHdrNumber) == number &&
         !(GetLe32(fixed, kHdrAttribute) & bit::kDeleted);
}

int64_t JamBase::NextHeld(int64_t number, int64_t high, int step) {
  int64_t base = BaseNumber();
  while (number >= base && number <= high) {
    // Runs of slots that their offsets alone show empty are passed over inside the window,
    // so that a long run costs hardly more than reading it.
    if (ReadSlot(number, high)) {
      auto held = static_cast<int64_t>(window_.size() / kIndexRecordSize);
      int64_t at = number - windowFirst_;
      while (at >= 0 && at < held &&
             EmptyOffset(GetLe32(window_.data(),
                                 static_cast<size_t>(at) * kIndexRecordSize + kIdxHeaderOffset)))
        at += step;
      number = windowFirst_ + at;
      if (number < base || number > high) break;
    }
    if (HoldsMessage(number, high)) break;
    number += step;
  }
  return number;
}

void JamBase::SeekFrom(int32_t number) {
  current_ = std::max<int64_t>(static_cast<int64_t>(number) - 1, BaseNumber() - 1);
  SeekNext();
}

void JamBase::SeekNext() {
  int64_t high = High();
  current_ = std::max(current_, BaseNumber() - 1);
  if (current_ <= high) ++current_;
  current_ = NextHeld(current_, high, 1);
}

void JamBase::SeekPrevious() {
  int64_t base = BaseNumber();
  int64_t high = High();
  current_ = std::min(current_, high + 1);
  if (current_ >= base) --current_;
  current_ = NextHeld(current_, high, -1);
}

bool JamBase::Found() { return current_ >= BaseNumber() && current_ <= High(); }

void JamBase::ResetMessage() {
  fixed_.assign(kFixedSize, '\0');
  SetFixed(kHdrMsgIdCrc, kNoCrc);
  SetFixed(kHdrReplyCrc, kNoCrc);
  headerOffset_.reset();
  fromName_.clear();
  toName_.clear();
  subject_.clear();
  orig_ = NetAddress{};
  dest_ = NetAddress{};
  kludgeLines_.clear();
  dateText_.clear();
  timeText_.clear();
  composed_.clear();
  kludgeSubfields_.clear();
  prefixLength_ = 0;
  bodyOffset_ = 0;
  ClearTextWindow();
}

void JamBase::LoadHeader() {
  ResetMessage();
  std::optional<IndexSlot> slot = ReadSlot(current_, High());
  std::string fixed;
  if (!slot || !ReadFixedPart(slot->headerOffset, fixed)) return;
  fixed_ = std::move(fixed);
  headerOffset_ = slot->headerOffset;

  // The declared subfield length may run past the end of .JHR (a damaged or half-written
  // header): only the bytes that are there are decoded.
  uint64_t areaStart = static_cast<uint64_t>(slot->headerOffset) + kFixedSize;
  uint64_t available = static_cast<uint64_t>(std::max<int64_t>(jhr_.Size(), 0)) - areaStart;
  uint64_t length =
      std::min({static_cast<uint64_t>(Fixed(kHdrSubfieldLength)), available, kMaxSubfieldArea});
  std::string area(static_cast<size_t>(length), '\0');
  area.resize(jhr_.ReadAt(areaStart, area.data(), area.size()));
  MessageFields fields = InterpretSubfields(DecodeSubfields(area), Attribute());
  fromName_ = std::move(fields.fromName);
  toName_ = std::move(fields.toName);
  subject_ = std::move(fields.subject);
  orig_ = fields.orig;
  dest_ = fields.dest;
  kludgeLines_ = std::move(fields.kludgeLines);

  DateTime written = DateTimeFromJamTime(Fixed(kHdrDateWritten));
  dateText_ = DateTextOf(written);
  timeText_ = TimeTextOf(written);
}

void JamBase::StartReading() {
  std::string window = kludgeLines_;
  prefixLength_ = window.size();
  bodyOffset_ = Fixed(kHdrTextOffset);
  int64_t size = jdt_.Size();
  if (headerOffset_ && bodyOffset_ < size) {
    // A text that runs past the end of .JDT is read as far as it goes.
    uint64_t length = std::min({static_cast<uint64_t>(Fixed(kHdrTextLength)),
                                static_cast<uint64_t>(size - bodyOffset_), kMaxTextLength});
    window.resize(prefixLength_ + length);
    size_t got =
        jdt_.ReadAt(static_cast<uint64_t>(bodyOffset_), window.data() + prefixLength_, length);
    window.resize(prefixLength_ + got);
  }
  SetTextWindow(std::move(window), 0);
  // A new text has no previous line whose wrap could drop a leading space.
  wrapped_ = false;
}

int32_t JamBase::TextPosition() {
  auto index = static_cast<int64_t>(textIndex_);
  auto prefix = static_cast<int64_t>(prefixLength_);
  if (index < prefix) return Clamp32(index - prefix);
  return Clamp32(bodyOffset_ + index - prefix);
}

void JamBase::SetTextPosition(int32_t position) {
  auto prefix = static_cast<int64_t>(prefixLength_);
  int64_t index = position < 0 ? std::max<int64_t>(prefix + position, 0)
                               : prefix + std::max<int64_t>(position - bodyOffset_, 0);
  textIndex_ = static_cast<size_t>(std::min<int64_t>(index, static_cast<int64_t>(text_.size())));
}

uint32_t JamBase::Fixed(size_t offset) const { return GetLe32(fixed_, offset); }

void JamBase::SetFixed(size_t offset, uint32_t value) { PutLe32(fixed_, offset, value); }

uint32_t JamBase::Attribute() const { return Fixed(kHdrAttribute); }

void JamBase::SetAttribute(uint32_t bitMask, bool on) {
  SetFixed(kHdrAttribute, on ? Attribute() | bitMask : Attribute() & ~bitMask);
}

void JamBase::SetAttributeBit(uint16_t bit, bool on) { SetAttribute(JamAttributeBit(bit), on); }

bool JamBase::HasAttributeBit(uint16_t bit) { return (Attribute() & JamAttributeBit(bit)) != 0; }

uint16_t JamBase::Cost() {
  return static_cast<uint16_t>(std::min<uint32_t>(Fixed(kHdrCost), 0xFFFF));
}
int32_t JamBase::ReplyTo() { return static_cast<int32_t>(Fixed(kHdrReplyTo)); }
int32_t JamBase::SeeAlso() { return static_cast<int32_t>(Fixed(kHdrFirstReply)); }
int32_t JamBase::NextSeeAlso() { return static_cast<int32_t>(Fixed(kHdrNextReply)); }

bool JamBase::IsDeleted() { return Attribute() & bit::kDeleted; }

}  // namespace vm
