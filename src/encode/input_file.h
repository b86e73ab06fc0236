// The file being posted, read through one buffer that lives for the whole queue run.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/file.h"

namespace vm {

class InputFile {
 public:
  static constexpr size_t kBufferSize = 65428;

  InputFile() : buffer_(kBufferSize) {}

  // Opens the file for reading (other programs may read and write it meanwhile).
  bool Open(std::string_view path);
  void Close();
  bool IsOpen() const { return file_.IsOpen(); }
  // The size as the file system gives it at the call; -1 when it cannot be asked.
  int64_t Size() const { return file_.Size(); }
  // Size and modification time as the file system gives them at the call.
  FileState State() const { return file_.State(); }

  // Moves the reading point to a byte offset of the file.
  void Seek(int64_t offset);
  // The offset of the next byte to be read (the bytes consumed so far).
  int64_t Position() const { return bufferOffset_ + static_cast<int64_t>(next_); }
  bool AtEnd() { return next_ == filled_ && !Fill(); }
  // The next byte, or -1 at the end of the file.
  int ReadByte() { return next_ < filled_ || Fill() ? buffer_[next_++] : -1; }
  int PeekByte() { return next_ < filled_ || Fill() ? buffer_[next_] : -1; }
  // Up to `size` bytes; fewer only at the end of the file.
  size_t Read(unsigned char* out, size_t size);

 private:
  // Reads the next stretch of the file into the buffer; false at the end (or on an error,
  // which ends the file for its reader).
  bool Fill();

  File file_;
  std::vector<unsigned char> buffer_;
  size_t next_ = 0;
  size_t filled_ = 0;
  int64_t bufferOffset_ = 0;  // file offset of buffer_[0]
};

}  // namespace vm
