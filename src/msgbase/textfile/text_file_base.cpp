#include "msgbase/textfile/text_file_base.h"

#include <algorithm>
#include <climits>

#include "msgbase/byte_scan.h"
#include "platform/file_system.h"
#include "platform/io_result.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr size_t kBufferSize = 64 * 1024;
// Written text is passed to the file in pieces of about this size.
constexpr size_t kOutputChunk = 64 * 1024;

int32_t ClampToInt32(int64_t value) {
  return static_cast<int32_t>(std::min<int64_t>(value, INT32_MAX));
}

}  // namespace

TextFileBase::TextFileBase() : buffer_(kBufferSize) {}

TextFileBase::~TextFileBase() { FlushOutput(); }

void TextFileBase::SetAreaPath(std::string_view locator) { path_ = CutTo(locator, 128); }

uint16_t TextFileBase::Open() {
  created_ = false;
  bufferStart_ = 0;
  bufferLength_ = bufferPos_ = 0;
  readFailed_ = false;
  size_ = 0;
  // The result is the fixed kOpenFailed; the status word tells why.
  if (!input_.Open(path_, OpenMode::Read)) {
    SetStatus(IoCode(input_, path_, false));
    return kOpenFailed;
  }
  size_ = std::max<int64_t>(input_.Size(), 0);
  return SetStatus(0);
}

uint16_t TextFileBase::Close() {
  FlushOutput();
  output_.Close();
  input_.Close();
  return 0;
}

uint16_t TextFileBase::Create(uint16_t, uint16_t) {
  FlushOutput();
  if (!output_.Open(path_, OpenMode::Create)) {
    SetStatus(IoCode(output_, path_, true));
    return 1;
  }
  outputFailed_ = false;
  created_ = true;
  return 0;
}

bool TextFileBase::Exists() { return FileExists(path_); }

// --- Reading ------------------------------------------------------------------------------

bool TextFileBase::FillBuffer() {
  if (bufferPos_ < bufferLength_) return true;
  bufferStart_ += static_cast<int64_t>(bufferLength_);
  bufferLength_ = bufferPos_ = 0;
  if (readFailed_ || !input_.IsOpen() || bufferStart_ >= size_) return false;
  size_t want = static_cast<size_t>(std::min<int64_t>(kBufferSize, size_ - bufferStart_));
  bufferLength_ = input_.ReadAt(static_cast<uint64_t>(bufferStart_), buffer_.data(), want);
  // The file shrank or cannot be read any more: the text ends here.
  if (bufferLength_ == 0) readFailed_ = true;
  return bufferLength_ > 0;
}

bool TextFileBase::TextEnded() const {
  return readFailed_ || !input_.IsOpen() ||
         bufferStart_ + static_cast<int64_t>(bufferPos_) >= size_;
}

unsigned char TextFileBase::NextChar() {
  if (TextEnded() || !FillBuffer()) return 0;
  return static_cast<unsigned char>(buffer_[bufferPos_++]);
}

bool TextFileBase::SkipLineEnd() {
  if (!FillBuffer()) return false;
  char c = buffer_[bufferPos_];
  if (c == '\n') {
    ++bufferPos_;
    return true;
  }
  if (c != '\r') return false;
  ++bufferPos_;
  if (FillBuffer() && buffer_[bufferPos_] == '\n') ++bufferPos_;
  return true;
}

std::string_view TextFileBase::NextLineView(uint16_t maxLength) {
  const size_t limit = std::clamp<size_t>(maxLength, 1, kMaxText);
  wrapped_ = false;
  if (TextEnded()) return {};
  if (bufferPos_ < bufferLength_) {
    // The common case: the line ends within the limit and a byte of the buffer follows its
    // line end (so that a CR LF is seen whole without a refill): shown where it lies.
    const char* start = buffer_.data() + bufferPos_;
    const size_t available = bufferLength_ - bufferPos_;
    const size_t scan = std::min(available, limit + 1);
    const size_t n = FindStop<'\r', '\n'>(reinterpret_cast<const unsigned char*>(start), scan);
    if (n < scan && n + 1 < available) {
      bufferPos_ += n + 1;
      if (start[n] == '\r' && start[n + 1] == '\n') ++bufferPos_;
      return {start, n};
    }
  }
  // Lines that reach the end of the buffer or run past the limit are put together in line_.
  line_.clear();
  while (line_.size() < limit && FillBuffer()) {
    const char* start = buffer_.data() + bufferPos_;
    const size_t available = std::min(bufferLength_ - bufferPos_, limit - line_.size());
    const size_t n = FindStop<'\r', '\n'>(reinterpret_cast<const unsigned char*>(start), available);
    line_.append(start, n);
    bufferPos_ += n;
    if (n != available) {
      SkipLineEnd();
      return line_;
    }
  }
  // The line filled up: it ends here if a line end follows, else it goes on in the next call.
  if (line_.size() == limit && !SkipLineEnd() && !TextEnded()) wrapped_ = true;
  return line_;
}

int32_t TextFileBase::TextPosition() {
  return ClampToInt32(bufferStart_ + static_cast<int64_t>(bufferPos_));
}

void TextFileBase::SetTextPosition(int32_t position) {
  int64_t target = std::max<int32_t>(position, 0);
  readFailed_ = false;
  if (target >= bufferStart_ && target <= bufferStart_ + static_cast<int64_t>(bufferLength_)) {
    bufferPos_ = static_cast<size_t>(target - bufferStart_);
    return;
  }
  bufferStart_ = target;
  bufferLength_ = bufferPos_ = 0;
}

int32_t TextFileBase::ActiveCount() { return ClampToInt32(size_); }

// --- Writing ------------------------------------------------------------------------------

void TextFileBase::StartNewMessage() {
  if (created_) return;
  FlushOutput();
  output_.Close();
  outputFailed_ = !output_.Open(path_, OpenMode::Append);
}

void TextFileBase::PutText(std::string_view text) {
  pendingOutput_ += text;
  if (pendingOutput_.size() >= kOutputChunk) FlushOutput();
}

void TextFileBase::PutChar(unsigned char c) {
  pendingOutput_ += static_cast<char>(c);
  if (pendingOutput_.size() >= kOutputChunk) FlushOutput();
}

bool TextFileBase::FlushOutput() {
  if (pendingOutput_.empty()) return !outputFailed_;
  if (!output_.IsOpen() || !output_.Write(pendingOutput_)) outputFailed_ = true;
  pendingOutput_.clear();
  return !outputFailed_;
}

uint16_t TextFileBase::WriteMessage() {
  if (!output_.IsOpen()) {
    pendingOutput_.clear();
    return kNotOpenForWriting;
  }
  bool ok = FlushOutput();
  outputFailed_ = false;
  return ok ? 0 : kWriteFailed;
}

}  // namespace vm
