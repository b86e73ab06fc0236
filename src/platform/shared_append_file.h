// A list file that this program appends lines to while other programs take it away: a tosser
// reads such a list (ECHOMAIL.JAM, say), then removes it, renames it aside or puts a new one in
// its place. The file stays open between appends, and its path is resolved once; before each
// append the path is checked to still name the open file, and when it does not it is opened
// again (created when missing). A line thus goes to the file that the path names at that moment,
// as with an open, a write and a close per line. The check is a stat of the path (its identity
// alone), made only when a watch on the open file saw it renamed, removed, linked or changed in
// its attributes, or cannot tell: most appends cost one read of the watch and one write.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "platform/change_watch.h"
#include "platform/file.h"

namespace vm {

class SharedAppendFile {
 public:
  // Appends the bytes with one write to the file at the program path (DOS-style, CP866).
  // False when the file cannot be opened or written; LastError then says why.
  bool Append(std::string_view programPath, std::string_view bytes);
  void Close();
  int LastError() const { return error_; }

 private:
  bool Reopen();
  bool MayHaveMoved();
  bool StillNamed() const;

  std::string programPath_;
  std::string hostPath_;
  File file_;
  ChangeWatch watch_;  // on file_
  dev_t device_ = 0;
  ino_t inode_ = 0;
  int error_ = 0;
};

}  // namespace vm
