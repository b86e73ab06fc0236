#include "platform/shared_append_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "platform/host_path.h"

namespace vm {
namespace {

// Opens of a path that keeps being taken away before it is watched, before the line goes to
// the last file opened.
constexpr int kReopenAttempts = 3;

}  // namespace

bool SharedAppendFile::Append(std::string_view programPath, std::string_view bytes) {
  if (programPath != programPath_) {
    Close();
    programPath_ = std::string(programPath);
    hostPath_ = HostPath(programPath_);
  }
  if (file_.IsOpen() && MayHaveMoved() && !StillNamed()) file_.Close();
  // A directory renamed or made since the path was resolved: resolved again once.
  if (!file_.IsOpen() && !Reopen()) {
    hostPath_ = HostPath(programPath_);
    if (!Reopen()) return false;
  }
  if (!file_.Write(bytes)) {
    error_ = file_.LastError();
    file_.Close();
    return false;
  }
  error_ = 0;
  return true;
}

void SharedAppendFile::Close() {
  watch_.Stop();
  file_.Close();
  programPath_.clear();
  hostPath_.clear();
}

namespace {

// The file's identity alone: asking for no time stamp keeps the kernel from giving the next
// write to the file a finer (and costlier) one than the usual tick, as it does for a file
// whose times were read since it changed.
bool IdentityOf(int dirFd, const char* path, int flags, dev_t& device, ino_t& inode) {
  struct statx st {};
  if (::statx(dirFd, path, flags, STATX_INO, &st) != 0) return false;
  device = makedev(st.stx_dev_major, st.stx_dev_minor);
  inode = st.stx_ino;
  return true;
}

}  // namespace

bool SharedAppendFile::Reopen() {
  for (int attempt = 1;; ++attempt) {
    if (!file_.OpenHost(hostPath_, OpenMode::Append) ||
        !IdentityOf(file_.Descriptor(), "", AT_EMPTY_PATH, device_, inode_)) {
      error_ = file_.IsOpen() ? errno : file_.LastError();
      file_.Close();
      return false;
    }
    // Watched first, then looked at: the look sees a change made before the watch began.
    if (!watch_.Start(file_.Descriptor()) || StillNamed() || attempt == kReopenAttempts)
      return true;
    file_.Close();
  }
}

bool SharedAppendFile::MayHaveMoved() {
  const ChangeWatch::Changes changes = watch_.Collect();
  return !changes.certain || changes.any;
}

bool SharedAppendFile::StillNamed() const {
  // Removed, renamed aside or replaced: the path names no file or another one.
  dev_t device = 0;
  ino_t inode = 0;
  return IdentityOf(AT_FDCWD, hostPath_.c_str(), 0, device, inode) && device == device_ &&
         inode == inode_;
}

}  // namespace vm
