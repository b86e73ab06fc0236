// A small state file rewritten in place, by one write from its start, while a long run makes
// progress: a write of at most one page at a file's start is never split by a kill, so a run
// killed at any moment leaves the old text or the new one whole. A shorter text is followed by
// blanks up to the old length (a last line of blanks, which the readers pass over). Nothing is
// flushed to the disk, which would cost more than the step whose progress is saved.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file.h"

namespace vm {

class OnePageFile {
 public:
  static constexpr size_t kPage = 4096;

  explicit OnePageFile(std::string path) : path_(std::move(path)) {}

  // False, and nothing written, when the text or the file on the disk is longer than a page,
  // or the file cannot be opened (with `create`, it is made when missing).
  bool Rewrite(std::string_view text, bool create);
  // Lets go of the file (before it is replaced or removed by name).
  void Close() { file_.Close(); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  File file_;
  int64_t size_ = 0;  // the file's length while open
};

}  // namespace vm
