#include "platform/change_watch.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>

namespace vm {
namespace {

// File systems whose files change only through the kernel that mounts them (the magic numbers
// of statfs). Network and user-space file systems are left out on purpose.
bool IsLocalFileSystem(int descriptor) {
  struct statfs fs {};
  if (::fstatfs(descriptor, &fs) != 0) return false;
  constexpr uint32_t kLocal[] = {
      0xEF53,      // ext2, ext3, ext4
      0x58465342,  // XFS
      0x9123683E,  // Btrfs
      0x01021994,  // tmpfs
      0xF2F52010,  // F2FS
      0x794C7630,  // overlay (containers)
      0x2FC12FC1,  // ZFS
      0xCA451A4E,  // bcachefs
      0x3153464A,  // JFS
      0x52654973,  // ReiserFS
      0x4D44,      // FAT
      0x2011BAB0,  // exFAT
      0x7366746E,  // NTFS (ntfs3)
  };
  const auto type = static_cast<uint32_t>(fs.f_type);
  return std::find(std::begin(kLocal), std::end(kLocal), type) != std::end(kLocal);
}

}  // namespace

ChangeWatch::~ChangeWatch() { Stop(); }

bool ChangeWatch::Start(int descriptor) {
  // One instance serves each watch in turn: closing one takes the kernel a millisecond.
  if (wd_ >= 0) ::inotify_rm_watch(fd_, wd_);
  wd_ = -1;
  struct stat st {};
  if (descriptor < 0 || ::fstat(descriptor, &st) != 0 || !IsLocalFileSystem(descriptor))
    return false;
  if (fd_ < 0) fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ < 0) return false;
  const uint32_t events =
      S_ISDIR(st.st_mode) ? IN_CREATE | IN_MOVED_TO : IN_ATTRIB | IN_MOVE_SELF | IN_DELETE_SELF;
  // Through the descriptor's link under /proc: the object itself, wherever its path now leads.
  const std::string self = "/proc/self/fd/" + std::to_string(descriptor);
  wd_ = ::inotify_add_watch(fd_, self.c_str(), events);
  return Watching();
}

void ChangeWatch::Stop() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  wd_ = -1;
}

ChangeWatch::Changes ChangeWatch::Collect() {
  Changes changes;
  if (!Watching()) return changes;
  changes.certain = true;
  // The largest event: one with a name of the longest length.
  constexpr size_t kLargestEvent = sizeof(inotify_event) + NAME_MAX + 1;
  alignas(struct inotify_event) char buffer[16 * kLargestEvent];
  for (;;) {
    const ssize_t got = ::read(fd_, buffer, sizeof buffer);
    if (got <= 0) {
      // Drained (EAGAIN); anything else and the watch can no longer vouch.
      if (got == 0 || errno != EAGAIN) changes.certain = false;
      break;
    }
    for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
      inotify_event event;
      std::memcpy(&event, buffer + at, sizeof event);
      const size_t next = sizeof(inotify_event) + event.len;
      // What is left of an earlier watch (its removal, say) is no news.
      if (event.wd != wd_ && !(event.mask & IN_Q_OVERFLOW)) {
        at += static_cast<ssize_t>(next);
        continue;
      }
      changes.any = true;
      // An overflowed queue lost events; a removed watch sees no more.
      if (event.mask & (IN_Q_OVERFLOW | IN_IGNORED)) changes.certain = false;
      if (event.len > 0) {
        const char* name = buffer + at + sizeof(inotify_event);
        changes.names.emplace_back(name, strnlen(name, event.len));
      }
      at += static_cast<ssize_t>(next);
    }
    // Room left for another event: the kernel gave all it had (anything later is for the
    // next call), and asking again would only be told so.
    if (sizeof buffer - static_cast<size_t>(got) >= kLargestEvent) break;
  }
  if (!changes.certain && wd_ >= 0) {
    ::inotify_rm_watch(fd_, wd_);
    wd_ = -1;
  }
  return changes;
}

}  // namespace vm
