#include "platform/shared_record.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/host_path.h"

namespace vm {
namespace {

constexpr const char* kMachineWideDirectory = "/var/tmp/";
// A record is a line of a few characters; anything longer is not one of ours.
constexpr size_t kLongestRecord = 64;

// The lock over the whole file, taken (waiting) or given back.
bool LockWhole(int fd, short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  for (;;) {
    if (::fcntl(fd, F_OFD_SETLKW, &lock) == 0) return true;
    if (errno != EINTR) return false;
  }
}

}  // namespace

SharedRecord::~SharedRecord() { Close(); }

void SharedRecord::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool SharedRecord::OpenMachineWide(std::string_view name) {
  return OpenHostFile(
      std::string(kMachineWideDirectory) + std::string(name) + "-" + std::to_string(::geteuid()),
      true);
}

bool SharedRecord::Open(std::string_view programPath) {
  return OpenHostFile(HostPath(programPath), false);
}

bool SharedRecord::OpenHostFile(const std::string& hostPath, bool mustBeOwn) {
  Close();
  // Never through a link: in a directory that others may write to, a link placed there would
  // make the record's bytes land in whatever file it names.
  const int fd = ::open(hostPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK,
                        S_IRUSR | S_IWUSR);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || (mustBeOwn && st.st_uid != ::geteuid())) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

bool SharedRecord::Update(const std::function<std::string(std::string_view stored)>& update) {
  if (fd_ < 0 || !LockWhole(fd_, F_WRLCK)) return false;
  char buffer[kLongestRecord];
  const ssize_t n = ::pread(fd_, buffer, sizeof buffer, 0);
  bool ok = n >= 0;
  if (ok) {
    const std::string text = update(std::string_view(buffer, static_cast<size_t>(n)));
    // One write of a few bytes at the start, which a kill does not split; the file keeps the
    // length of the longest text written, and readers take the first line.
    ok = ::pwrite(fd_, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()) &&
         ::fdatasync(fd_) == 0;
  }
  LockWhole(fd_, F_UNLCK);
  return ok;
}

}  // namespace vm
