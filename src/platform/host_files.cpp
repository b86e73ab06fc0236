#include "platform/host_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "text/cp866.h"

namespace vm {
namespace {

void ForgetParentListing(const std::string& hostPath) {
  size_t slash = hostPath.find_last_of('/');
  if (slash == std::string::npos) return;
  ForgetDirectoryListing(slash == 0 ? "/" : hostPath.substr(0, slash));
}

}  // namespace

bool HostFileExists(const std::string& hostPath) {
  struct stat st {};
  return ::stat(hostPath.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::vector<std::string> ListHostDirectoryFiles(const std::string& hostDir, int* error) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(hostDir.c_str());
  if (error != nullptr) *error = dir ? 0 : errno;
  if (!dir) return names;
  while (dirent* entry = ::readdir(dir)) {
    bool isDirectory = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN) {
      struct stat st {};
      isDirectory = ::fstatat(dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
    }
    if (!isDirectory) names.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  return names;
}

bool RemoveHostFile(const std::string& hostPath) {
  if (::unlink(hostPath.c_str()) != 0) return false;
  ForgetParentListing(hostPath);
  return true;
}

bool RenameHostFileNoReplace(const std::string& from, const std::string& to) {
  int result = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
  if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
    // File systems without RENAME_NOREPLACE: a hard link fails on an existing target as
    // atomically; the old name is then dropped.
    result = ::link(from.c_str(), to.c_str());
    if (result == 0) {
      ::unlink(from.c_str());
    } else if (errno == EPERM || errno == EOPNOTSUPP) {
      // Nor hard links (FAT, some network shares): test, then rename.
      struct stat st {};
      if (::lstat(to.c_str(), &st) == 0) return false;
      result = std::rename(from.c_str(), to.c_str());
    }
  }
  if (result != 0) return false;
  ForgetParentListing(from);
  ForgetParentListing(to);
  return true;
}

int RemoveStaleHostTemporaries(const std::string& hostDir, std::string_view mask,
                               int64_t quietSeconds) {
  int removed = 0;
  const time_t now = std::time(nullptr);
  for (const std::string& name : ListHostDirectoryFiles(hostDir)) {
    if (!MatchesFileMask(Utf8ToCp866(name), mask)) continue;
    const std::string path = hostDir + "/" + name;
    struct stat named {};
    if (::lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode) ||
        now - named.st_mtim.tv_sec < quietSeconds)
      continue;
    // Opened for writing, as only then may it be locked.
    File file;
    if (!file.OpenHost(path, OpenMode::ReadWrite) || !file.LockRange(0, 0, 1)) continue;
    // The name must still be the file that was locked.
    struct stat held {};
    struct stat current {};
    if (::fstat(file.Descriptor(), &held) != 0 || ::lstat(path.c_str(), &current) != 0 ||
        held.st_dev != current.st_dev || held.st_ino != current.st_ino)
      continue;
    if (RemoveHostFile(path)) ++removed;
  }
  return removed;
}

}  // namespace vm
