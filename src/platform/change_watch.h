// What other programs do to a file or a directory, told by the kernel (inotify) instead of looked
// up each time: a writer that must notice its list file being renamed, removed or replaced, or
// new names in the directory it writes into, asks the watch (one read that finds nothing in the
// usual case) and looks for itself only when something happened. Only local file systems are
// watched, whose every change passes through this kernel: on a network file system another
// machine's changes raise no event, so there the watch does not start and the writer looks
// every time.
#pragma once

#include <string>
#include <vector>

namespace vm {

class ChangeWatch {
 public:
  ChangeWatch() = default;
  ~ChangeWatch();
  ChangeWatch(const ChangeWatch&) = delete;
  ChangeWatch& operator=(const ChangeWatch&) = delete;

  // Starts watching what an open descriptor refers to (any kind of descriptor, even one opened
  // only as a path): a file for being renamed, removed, linked or changed in its attributes, a
  // directory for names made or moved into it. False, and nothing watched, when the kernel
  // cannot or the file system is not one known to be local.
  bool Start(int descriptor);
  void Stop();
  bool Watching() const { return wd_ >= 0; }

  // What happened since the last call (or the start).
  struct Changes {
    // False when the watch cannot tell (not started, or more happened than the kernel kept):
    // the caller then looks for itself.
    bool certain = false;
    bool any = false;                // for a file: it may no longer be at its path
    std::vector<std::string> names;  // names made or moved into a watched directory
  };
  Changes Collect();

 private:
  int fd_ = -1;  // the inotify instance
  int wd_ = -1;  // its watch
};

}  // namespace vm
