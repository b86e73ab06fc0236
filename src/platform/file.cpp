#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>

#include "platform/host.h"
#include "platform/host_path.h"

namespace vm {
namespace {

constexpr int kOpenAttempts = 150;
constexpr int kLockPauseMs = 100;
// New files and directories get what the sysop's umask allows.
constexpr mode_t kNewFileMode = 0666;

int Flags(OpenMode mode) {
  switch (mode) {
    case OpenMode::Read:
      return O_RDONLY;
    case OpenMode::ReadWrite:
      return O_RDWR;
    case OpenMode::Create:
      return O_RDWR | O_CREAT | O_TRUNC;
    case OpenMode::CreateNew:
      return O_RDWR | O_CREAT | O_EXCL;
    case OpenMode::Append:
      return O_WRONLY | O_CREAT | O_APPEND;
  }
  return O_RDONLY;
}

}  // namespace

File::~File() {
  Close();
}

File::File(File&& other) noexcept : fd_(other.fd_), error_(other.error_) {
  other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    error_ = other.error_;
    other.fd_ = -1;
  }
  return *this;
}

bool File::Open(std::string_view programPath, OpenMode mode) {
  return OpenHost(HostPath(programPath), mode);
}

bool File::OpenHost(const std::string& hostPath, OpenMode mode) {
  Close();
  int flags = Flags(mode) | O_CLOEXEC;
  std::optional<DirectoryChange> change;
  if (flags & O_CREAT) change.emplace(HostParentDirectory(hostPath));
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    fd_ = ::open(hostPath.c_str(), flags, kNewFileMode);
    if (fd_ >= 0) break;
    error_ = errno;
    if (error_ != EACCES && error_ != EAGAIN && error_ != EBUSY) break;
  }
  if (fd_ < 0) return false;
  struct stat st {};
  if (fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    error_ = EISDIR;
    return false;
  }
  if (change) {
    change->Added(HostBaseName(hostPath));
    change->Commit();
  }
  error_ = 0;
  return true;
}

void File::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

int64_t File::Size() const {
  struct stat st {};
  if (fd_ < 0 || fstat(fd_, &st) != 0) return -1;
  return st.st_size;
}

int64_t File::LinkCount() const {
  struct stat st {};
  if (fd_ < 0 || fstat(fd_, &st) != 0) return -1;
  return static_cast<int64_t>(st.st_nlink);
}

FileState File::State() const {
  struct stat st {};
  if (fd_ < 0 || fstat(fd_, &st) != 0) return {};
  return {st.st_size, static_cast<int64_t>(st.st_nlink),
          static_cast<int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

size_t File::ReadAt(uint64_t offset, void* buffer, size_t size) {
  size_t done = 0;
  auto* out = static_cast<char*>(buffer);
  while (done < size) {
    ssize_t n = ::pread(fd_, out + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error_ = errno;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

bool File::WriteAt(uint64_t offset, const void* data, size_t size) {
  size_t done = 0;
  const auto* in = static_cast<const char*>(data);
  while (done < size) {
    ssize_t n = ::pwrite(fd_, in + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error_ = n < 0 ? errno : EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

size_t File::Read(void* buffer, size_t size) {
  size_t done = 0;
  auto* out = static_cast<char*>(buffer);
  while (done < size) {
    ssize_t n = ::read(fd_, out + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error_ = errno;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

bool File::Write(const void* data, size_t size) {
  size_t done = 0;
  const auto* in = static_cast<const char*>(data);
  while (done < size) {
    ssize_t n = ::write(fd_, in + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error_ = n < 0 ? errno : EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

bool File::Seek(uint64_t offset) {
  if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) {
    error_ = errno;
    return false;
  }
  return true;
}

bool File::Truncate(uint64_t size) {
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) {
    error_ = errno;
    return false;
  }
  return true;
}

bool File::Sync() {
  if (::fsync(fd_) != 0) {
    error_ = errno;
    return false;
  }
  return true;
}

bool File::LockRange(uint64_t offset, uint64_t length, int attempts) {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(offset);
  lock.l_len = static_cast<off_t>(length);
  for (int attempt = 0; attempt < attempts; ++attempt) {
    if (::fcntl(fd_, F_OFD_SETLK, &lock) == 0) return true;
    error_ = errno;
    if (error_ != EAGAIN && error_ != EACCES && error_ != EINTR) return false;
    if (attempt + 1 < attempts) SleepMilliseconds(kLockPauseMs);
  }
  return false;
}

bool File::UnlockRange(uint64_t offset, uint64_t length) {
  struct flock lock {};
  lock.l_type = F_UNLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(offset);
  lock.l_len = static_cast<off_t>(length);
  return ::fcntl(fd_, F_OFD_SETLK, &lock) == 0;
}

bool ReadWholeFile(std::string_view programPath, std::string& contents) {
  contents.clear();
  File file;
  if (!file.Open(programPath, OpenMode::Read)) return false;
  char buffer[65536];
  for (;;) {
    size_t n = file.Read(buffer, sizeof buffer);
    contents.append(buffer, n);
    if (n < sizeof buffer) break;
  }
  return file.LastError() == 0;
}

bool WriteFileAtomically(std::string_view programPath, std::string_view contents) {
  std::string target = HostPath(programPath);
  std::string temp = target + ".tmp" + std::to_string(::getpid());
  File file;
  if (!file.OpenHost(temp, OpenMode::Create)) return false;
  // The new file keeps the permissions of the one it replaces.
  struct stat old {};
  bool ok = (::stat(target.c_str(), &old) != 0 ||
             ::fchmod(file.Descriptor(), old.st_mode & 07777) == 0) &&
            file.Write(contents) && file.Sync();
  file.Close();
  if (!ok || std::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    ForgetDirectoryListing(HostParentDirectory(target));
    return false;
  }
  // The rename itself reaches the disk only with the directory.
  int dir = ::open(HostParentDirectory(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  ForgetDirectoryListing(HostParentDirectory(target));
  return true;
}

}  // namespace vm
