#include "platform/shared_append_file.h"

#include <sys/stat.h>

#include "platform/host_path.h"

namespace vm {

bool SharedAppendFile::Append(std::string_view programPath, std::string_view bytes) {
  if (programPath != programPath_) {
    Close();
    programPath_ = std::string(programPath);
    hostPath_ = HostPath(programPath_);
  }
  if (file_.IsOpen() && !StillNamed()) file_.Close();
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
  file_.Close();
  programPath_.clear();
  hostPath_.clear();
}

bool SharedAppendFile::Reopen() {
  struct stat st {};
  if (!file_.OpenHost(hostPath_, OpenMode::Append) || ::fstat(file_.Descriptor(), &st) != 0) {
    error_ = file_.IsOpen() ? errno : file_.LastError();
    file_.Close();
    return false;
  }
  device_ = st.st_dev;
  inode_ = st.st_ino;
  return true;
}

bool SharedAppendFile::StillNamed() const {
  // Removed, renamed aside or replaced: the path names no file or another one.
  struct stat st {};
  return ::stat(hostPath_.c_str(), &st) == 0 && st.st_dev == device_ && st.st_ino == inode_;
}

}  // namespace vm
