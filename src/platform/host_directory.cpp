#include "platform/host_directory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vm {

HostDirectory::~HostDirectory() { Close(); }

bool HostDirectory::Open(const std::string& hostDir) {
  Close();
  // A handle for lookups only: no read permission on the directory is needed.
  fd_ = ::open(hostDir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  error_ = fd_ < 0 ? errno : 0;
  if (fd_ < 0) return false;
  path_ = hostDir;
  if (path_.empty() || path_.back() != '/') path_ += '/';
  return true;
}

void HostDirectory::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  path_.clear();
}

bool HostDirectory::HasFile(const std::string& name) const {
  struct stat st {};
  return fd_ >= 0 && ::fstatat(fd_, name.c_str(), &st, 0) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace vm
