#include "encode/input_file.h"

#include <cstring>

namespace vm {

bool InputFile::Open(std::string_view path) {
  Close();
  return file_.Open(path, OpenMode::Read);
}

void InputFile::Close() {
  file_.Close();
  next_ = filled_ = 0;
  bufferOffset_ = 0;
}

void InputFile::Seek(int64_t offset) {
  if (offset >= bufferOffset_ && offset <= bufferOffset_ + static_cast<int64_t>(filled_)) {
    next_ = static_cast<size_t>(offset - bufferOffset_);
    return;
  }
  bufferOffset_ = offset;
  next_ = filled_ = 0;
}

bool InputFile::Fill() {
  bufferOffset_ += static_cast<int64_t>(filled_);
  next_ = filled_ = 0;
  if (!file_.IsOpen()) return false;
  filled_ = file_.ReadAt(static_cast<uint64_t>(bufferOffset_), buffer_.data(), buffer_.size());
  return filled_ > 0;
}

size_t InputFile::Read(unsigned char* out, size_t size) {
  size_t done = 0;
  while (done < size) {
    if (next_ == filled_ && !Fill()) break;
    const size_t n = std::min(size - done, filled_ - next_);
    std::memcpy(out + done, buffer_.data() + next_, n);
    next_ += n;
    done += n;
  }
  return done;
}

}  // namespace vm
