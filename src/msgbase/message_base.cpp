#include "msgbase/message_base.h"

#include <algorithm>
#include <cstring>

#include "msgbase/area_id.h"
#include "msgbase/byte_scan.h"
#include "platform/io_result.h"
#include "text/cp866.h"

namespace vm {

void MessageBase::PutLine(std::string_view text) {
  PutText(text);
  PutChar('\r');
}

void MessageBase::SetTextWindow(std::string text, int32_t origin) {
  textStorage_ = std::move(text);
  ShowTextWindow(textStorage_, origin);
}

void MessageBase::ShowTextWindow(std::string_view text, int32_t origin) {
  text_ = text;
  textOrigin_ = origin;
  textIndex_ = 0;
  textEnded_ = false;
}

void MessageBase::ClearTextWindow() { ShowTextWindow({}, textOrigin_); }

unsigned char MessageBase::NextChar() {
  if (textIndex_ >= text_.size()) {
    textEnded_ = true;
    return 0;
  }
  return static_cast<unsigned char>(text_[textIndex_++]);
}

void MessageBase::SetTextPosition(int32_t position) {
  int64_t index = static_cast<int64_t>(position) - textOrigin_;
  if (index < 0) index = 0;
  textIndex_ = static_cast<size_t>(index);
}

namespace {

// Length of the run of line text at p (at most limit bytes): up to the first zero byte, line
// feed or soft return (all skipped) or carriage return (which ends the line).
size_t FindRunEnd(const unsigned char* p, size_t limit) {
  return FindStop<13, 10, 0, 0x8D>(p, limit);
}

// As FindRunEnd, noting in lastSpace 1 + the offset of the run's last space (unchanged when
// it has none).
size_t ScanRun(const unsigned char* p, size_t limit, size_t& lastSpace) {
  const size_t n = FindRunEnd(p, limit);
  const void* space = memrchr(p, ' ', n);
  if (space != nullptr)
    lastSpace = static_cast<size_t>(static_cast<const unsigned char*>(space) - p) + 1;
  return n;
}

}  // namespace

// The word-wrapping reader over the text window. A line ends at a carriage return, at the end
// of the text, or when it holds maxLength bytes; a full line is cut after its last space (the
// rest continues on the next line, whose first space is then dropped once) or, without a
// space, exactly at maxLength (the byte that did not fit starts the next line). Zero bytes,
// line feeds and soft returns are skipped. Reading past the end sets the end-of-text flag
// exactly as NextChar does.
std::string_view MessageBase::NextLineView(uint16_t maxLength) {
  if (textEnded_) return {};
  // At least one byte a line, so that every call moves on.
  const size_t max = std::clamp<size_t>(maxLength, 1, 255);
  const auto* data = reinterpret_cast<const unsigned char*>(text_.data());
  const size_t size = text_.size();
  size_t i = textIndex_;
  if (i < size && !(wrapped_ && data[i] == ' ')) {
    // The common case: the line is shorter than the maximum and holds no byte to skip, so it
    // is shown where it lies.
    const size_t n = FindRunEnd(data + i, std::min(max, size - i));
    if (n < max && i + n < size && data[i + n] == 13) {
      wrapped_ = false;
      textIndex_ = i + n + 1;
      return {text_.data() + i, n};
    }
  }
  char* line = lineBuffer_;
  size_t len = 0;
  size_t wrapLength = 0;    // bytes up to and including the last space
  size_t wrapPosition = 0;  // index just after that space
  bool previousWrapped = wrapped_;
  wrapped_ = true;
  for (;;) {
    if (i >= size) {
      // The next byte would lie past the end: the text has ended with this line.
      textEnded_ = true;
      textIndex_ = i;
      return {line, len};
    }
    if (len == max) break;
    if (len == 0 && previousWrapped && data[i] == ' ') {
      // The space that separated the words at the previous line's wrap point.
      previousWrapped = false;
      ++i;
      continue;
    }
    // A run of bytes taken as they are, noting the last space in it.
    size_t lastSpace = 0;
    const size_t n = ScanRun(data + i, std::min(max - len, size - i), lastSpace);
    if (lastSpace != 0) {
      wrapLength = len + lastSpace;
      wrapPosition = i + lastSpace;
    }
    std::memcpy(line + len, data + i, n);
    len += n;
    i += n;
    if (n > 0) continue;
    if (data[i++] == 13) {
      wrapped_ = false;
      textIndex_ = i;
      return {line, len};
    }
  }
  // The line is full. Without a space in it, the byte that did not fit comes next; else the
  // line ends with its last space and reading continues after it.
  if (wrapLength == 0) {
    textIndex_ = i;
    return {line, len};
  }
  textIndex_ = wrapPosition;
  return {line, wrapLength};
}

std::string MessageBase::NextLine(uint16_t maxLength) {
  return std::string(NextLineView(maxLength));
}

std::string MessageBase::NextPlainLine(uint16_t maxLength) {
  std::string_view line = NextLineView(maxLength);
  while (!line.empty() && line[0] == '\x01' && !TextEnded()) line = NextLineView(maxLength);
  return std::string(line);
}

int32_t MessageBase::HighActiveNumber() {
  SeekFrom(HighNumber());
  if (!Found()) SeekPrevious();
  return Found() ? MessageNumber() : 0;
}

namespace {

// Where the location begins: after the letter and any board number.
size_t LocationStart(std::string_view areaId) {
  const std::optional<AreaId> id = AreaId::Parse(areaId);
  return id ? 1 + id->board.size() : std::min<size_t>(1, areaId.size());
}

}  // namespace

std::string AreaLocation(std::string_view areaId) {
  return std::string(areaId.substr(LocationStart(areaId)));
}

bool MakeMessageBase(std::string_view areaId, MessageBaseHandle& handle) {
  handle.reset();
  const std::optional<AreaId> id = AreaId::Parse(areaId);
  if (!id) return false;
  handle = id->Row().make();
  if (handle) handle->SetAreaPath(areaId.substr(1, 128));
  return true;
}

std::string MessageBase::StatusReason() const {
  if (status_ == 0) return {};
  std::string reason = OwnStatusReason(status_);
  return reason.empty() ? IoReason(status_) : reason;
}

OpenFailure FailureOf(const MessageBase& base) { return {base.Status(), base.StatusReason()}; }

std::string DescribeOpenFailure(const OpenFailure& failure) {
  if (failure.code == 0) return ": " + Cp866("неизвестный тип базы");
  std::string code = Cp866("код ") + std::to_string(failure.code);
  return failure.reason.empty() ? ": " + code : ": " + failure.reason + " (" + code + ")";
}

namespace {

// Gives up a base that failed with `result`: its reason goes to *failure, the object away.
bool GiveUp(MessageBaseHandle& handle, uint16_t result, OpenFailure* failure) {
  if (failure != nullptr) {
    // The status word is the more telling where the result is a fixed code.
    *failure = FailureOf(*handle);
    if (failure->code == 0) *failure = OpenFailure{result, IoReason(result)};
  }
  DisposeMessageBase(handle);
  return false;
}

bool Make(std::string_view areaId, MessageBaseHandle& handle, OpenFailure* failure) {
  if (MakeMessageBase(areaId, handle) && handle) return true;
  if (failure != nullptr) *failure = OpenFailure{};
  return false;
}

}  // namespace

bool OpenMessageArea(std::string_view areaId, MessageBaseHandle& handle, OpenFailure* failure) {
  if (!Make(areaId, handle, failure)) return false;
  if (uint16_t rc = handle->Open(); rc != 0) return GiveUp(handle, rc, failure);
  return true;
}

bool OpenOrCreateMessageArea(std::string_view areaId, MessageBaseHandle& handle,
                             OpenFailure* failure) {
  if (!Make(areaId, handle, failure)) return false;
  if (!handle->Exists()) {
    if (uint16_t rc = handle->Create(200, 10); rc != 0) return GiveUp(handle, rc, failure);
  }
  if (uint16_t rc = handle->Open(); rc != 0) return GiveUp(handle, rc, failure);
  if (uint16_t rc = handle->Mend(); rc != 0) return GiveUp(handle, rc, failure);
  return true;
}

bool CloseMessageArea(MessageBaseHandle& handle) {
  if (!handle) return false;
  bool ok = handle->Close() == 0;
  DisposeMessageBase(handle);
  return ok;
}

void DisposeMessageBase(MessageBaseHandle& handle) { handle.reset(); }

}  // namespace vm
