#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>

#include "platform/host.h"
#include "platform/host_directory.h"
#include "platform/host_files.h"
#include "platform/host_path.h"
#include "text/cp866.h"

namespace vm {
namespace {

constexpr int kOpenAttempts = 150;
constexpr int kLockPauseMs = 100;
// New files and directories get what the sysop's umask allows.
constexpr mode_t kNewFileMode = 0666;

enum class Direction { kRead, kWrite };

// Repeats a read or write call (`step`, given the bytes moved so far) until `size` bytes are
// moved, going on after a signal interrupts it. Returns the bytes moved. A read stops short at
// the end of the file; a failure, or a write that moves nothing, leaves its errno in `error`.
template <typename Step>
size_t MoveAll(size_t size, Direction direction, int& error, Step step) {
  size_t done = 0;
  while (done < size) {
    ssize_t n = step(done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error = errno;
    if (n == 0 && direction == Direction::kWrite) error = EIO;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

int Flags(OpenMode mode) {
  switch (mode) {
    case OpenMode::Read: return O_RDONLY;
    case OpenMode::ReadWrite: return O_RDWR;
    case OpenMode::Create: return O_RDWR | O_CREAT | O_TRUNC;
    case OpenMode::CreateNew: return O_RDWR | O_CREAT | O_EXCL;
    case OpenMode::Append: return O_WRONLY | O_CREAT | O_APPEND;
  }
  return O_RDONLY;
}

bool IsNullDevice(const struct stat& st) {
  static const dev_t nullDevice = [] {
    struct stat null {};
    return ::stat("/dev/null", &null) == 0 && S_ISCHR(null.st_mode) ? null.st_rdev : dev_t{0};
  }();
  return S_ISCHR(st.st_mode) && nullDevice != 0 && st.st_rdev == nullDevice;
}

// Why an open file is not to be used: 0 for a regular file, and for the null device opened
// for writing (settings name "NUL" as an output that goes nowhere).
int Refusal(const struct stat& st, OpenMode mode) {
  if (S_ISREG(st.st_mode)) return 0;
  if (S_ISDIR(st.st_mode)) return EISDIR;
  if (mode != OpenMode::Read && IsNullDevice(st)) return 0;
  return kNotRegularFile;
}

// Removes the symbolic link at the path (only a link); whether there was one to remove.
bool RemoveLink(const std::string& hostPath) {
  struct stat st {};
  return ::lstat(hostPath.c_str(), &st) == 0 && S_ISLNK(st.st_mode) &&
         ::unlink(hostPath.c_str()) == 0;
}

}  // namespace

File::~File() { Close(); }

File::File(File&& other) noexcept : fd_(other.fd_), error_(other.error_) { other.fd_ = -1; }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    error_ = other.error_;
    other.fd_ = -1;
  }
  return *this;
}

bool File::Open(std::string_view programPath, OpenMode mode, Links links) {
  return OpenHost(HostPath(programPath), mode, links);
}

bool File::OpenHost(const std::string& hostPath, OpenMode mode, Links links) {
  Close();
  // Opened without blocking, as the kind of file is only known once it is open: opening a
  // FIFO for reading waits for a writer. Nor may a terminal become the controlling one.
  int flags = Flags(mode) | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
  if (links == Links::Replace && mode != OpenMode::Read) flags |= O_NOFOLLOW;
  const bool replaceLink = links == Links::Replace && (flags & O_CREAT) != 0;
  std::optional<DirectoryChange> change;
  if (flags & O_CREAT) change.emplace(HostParentDirectory(hostPath));
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    fd_ = ::open(hostPath.c_str(), flags, kNewFileMode);
    if (fd_ >= 0) break;
    error_ = errno;
    // A link at the name: O_NOFOLLOW refused it, the file is made in its place. Should someone
    // put a link back at once, each attempt removes it again; none ever follows one.
    if (replaceLink && error_ == ELOOP && RemoveLink(hostPath)) continue;
    if (error_ != EACCES && error_ != EAGAIN && error_ != EBUSY) break;
  }
  if (fd_ < 0) return false;
  struct stat st {};
  int refusal = ::fstat(fd_, &st) == 0 ? Refusal(st, mode) : errno;
  // Reads and writes of a regular file block as usual. F_SETFL takes only the status flags
  // of the open's flags (O_APPEND stays).
  if (refusal == 0 && ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) != 0) refusal = errno;
  if (refusal != 0) {
    ::close(fd_);
    fd_ = -1;
    error_ = refusal;
    return false;
  }
  if (change) {
    change->Added(HostBaseName(hostPath));
    change->Commit();
  }
  error_ = 0;
  return true;
}

bool File::CreateUnnamedIn(const HostDirectory& dir) {
  Close();
  // NameIn may have to name the file through /proc.
  static const bool procFds = ::access("/proc/self/fd", X_OK) == 0;
  if (!procFds) {
    error_ = EOPNOTSUPP;
    return false;
  }
  fd_ = ::openat(dir.Descriptor(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, kNewFileMode);
  error_ = fd_ < 0 ? errno : 0;
  return fd_ >= 0;
}

bool File::NameIn(const HostDirectory& dir, const std::string& name) {
  DirectoryChange change(HostParentDirectory(dir.Path() + name));
  // Linking the descriptor itself takes no path resolution, and the kernel allows it for a
  // file this process opened (since Linux 6.10; before that only with a privilege). Where it
  // is refused the file is linked through /proc, which needs none.
  static bool emptyPathAllowed = true;
  int rc = -1;
  if (emptyPathAllowed) {
    rc = ::linkat(fd_, "", dir.Descriptor(), name.c_str(), AT_EMPTY_PATH);
    if (rc != 0 && errno == ENOENT && ::fcntl(fd_, F_GETFD) >= 0 &&
        ::faccessat(dir.Descriptor(), ".", F_OK, 0) == 0)
      emptyPathAllowed = false;
  }
  if (!emptyPathAllowed) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    rc = ::linkat(AT_FDCWD, self.c_str(), dir.Descriptor(), name.c_str(), AT_SYMLINK_FOLLOW);
  }
  if (rc != 0) {
    error_ = errno;
    return false;
  }
  change.Added(name);
  change.Commit();
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
  auto* out = static_cast<char*>(buffer);
  return MoveAll(size, Direction::kRead, error_, [&](size_t done) {
    return ::pread(fd_, out + done, size - done, static_cast<off_t>(offset + done));
  });
}

bool File::WriteAt(uint64_t offset, const void* data, size_t size) {
  const auto* in = static_cast<const char*>(data);
  return MoveAll(size, Direction::kWrite, error_, [&](size_t done) {
           return ::pwrite(fd_, in + done, size - done, static_cast<off_t>(offset + done));
         }) == size;
}

size_t File::Read(void* buffer, size_t size) {
  auto* out = static_cast<char*>(buffer);
  return MoveAll(size, Direction::kRead, error_,
                 [&](size_t done) { return ::read(fd_, out + done, size - done); });
}

bool File::Write(const void* data, size_t size) {
  const auto* in = static_cast<const char*>(data);
  return MoveAll(size, Direction::kWrite, error_,
                 [&](size_t done) { return ::write(fd_, in + done, size - done); }) == size;
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

bool File::ClaimTemporary() {
  return LockRange(0, 0, 1);  // length 0: the whole file, however long it grows
}

bool File::UnlockRange(uint64_t offset, uint64_t length) {
  struct flock lock {};
  lock.l_type = F_UNLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(offset);
  lock.l_len = static_cast<off_t>(length);
  return ::fcntl(fd_, F_OFD_SETLK, &lock) == 0;
}

bool ReadWholeFile(std::string_view programPath, size_t maxSize, std::string& contents,
                   int& error) {
  contents.clear();
  File file;
  if (!file.Open(programPath, OpenMode::Read)) {
    error = file.LastError();
    return false;
  }
  const int64_t size = file.Size();
  error = size < 0 ? EIO : static_cast<uint64_t>(size) > maxSize ? EFBIG : 0;
  if (error == 0) {
    contents.reserve(static_cast<size_t>(size));
    // Read to the end rather than to the size asked before: the file may be growing. One byte
    // past the limit tells a file that grew beyond it.
    constexpr size_t kChunk = 65536;
    for (;;) {
      const size_t have = contents.size();
      const size_t want = std::min(kChunk, maxSize + 1 - have);
      contents.resize(have + want);
      const size_t n = file.Read(contents.data() + have, want);
      contents.resize(have + n);
      if (contents.size() > maxSize) error = EFBIG;
      if (n < want || error != 0) break;
    }
    if (error == 0) error = file.LastError();
  }
  if (error != 0) contents.clear();
  return error == 0;
}

bool SameContents(std::string_view programPathA, std::string_view programPathB) {
  File a, b;
  if (!a.Open(programPathA, OpenMode::Read) || !b.Open(programPathB, OpenMode::Read) ||
      a.Size() != b.Size())
    return false;
  constexpr size_t kChunk = 65536;
  std::string bytesA(kChunk, '\0'), bytesB(kChunk, '\0');
  for (;;) {
    const size_t n = a.Read(bytesA.data(), kChunk);
    if (b.Read(bytesB.data(), kChunk) != n || bytesA.compare(0, n, bytesB, 0, n) != 0) return false;
    if (n < kChunk) return a.LastError() == 0 && b.LastError() == 0;
  }
}

bool WriteFileAtomically(std::string_view programPath, std::string_view contents) {
  std::string target = HostPath(programPath);
  const std::string_view targetName = std::string_view(target).substr(target.rfind('/') + 1);
  RemoveStaleHostTemporaries(HostParentDirectory(target), Utf8ToCp866(targetName) + ".tmp*");
  std::string temp = target + ".tmp" + std::to_string(::getpid());
  File file;
  if (!file.OpenHost(temp, OpenMode::Create, Links::Replace)) return false;
  file.ClaimTemporary();
  // The new file keeps the permissions of the one it replaces (not those of a link's target).
  struct stat old {};
  bool ok = (::lstat(target.c_str(), &old) != 0 || !S_ISREG(old.st_mode) ||
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
