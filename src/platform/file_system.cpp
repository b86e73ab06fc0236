#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/file.h"
#include "platform/host_files.h"
#include "platform/host_path.h"
#include "text/cp866.h"

namespace vm {
namespace {

// New directories get what the sysop's umask allows.
constexpr mode_t kNewDirectoryMode = 0777;

bool StatPath(std::string_view path, struct stat& st) {
  return ::stat(HostPath(path).c_str(), &st) == 0;
}

}  // namespace

bool FileExists(std::string_view path) {
  struct stat st {};
  return StatPath(path, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(std::string_view path) {
  struct stat st {};
  return StatPath(path, st) && S_ISDIR(st.st_mode);
}

bool DirectoryWritable(std::string_view path) {
  return DirectoryExists(path) && ::access(HostPath(path).c_str(), W_OK | X_OK) == 0;
}

bool IsPlainFile(std::string_view path) {
  struct stat st {};
  return ::lstat(HostPath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<int64_t> FileSize(std::string_view path) {
  struct stat st {};
  if (!StatPath(path, st) || S_ISDIR(st.st_mode)) return std::nullopt;
  return st.st_size;
}

std::optional<int64_t> FileModified(std::string_view path) {
  struct stat st {};
  if (!StatPath(path, st)) return std::nullopt;
  return st.st_mtim.tv_sec;
}

bool SetFileModified(std::string_view path, int64_t secondsSinceEpoch) {
  struct timespec times[2];
  times[0].tv_sec = secondsSinceEpoch;
  times[0].tv_nsec = 0;
  times[1] = times[0];
  return ::utimensat(AT_FDCWD, HostPath(path).c_str(), times, 0) == 0;
}

std::optional<DateTime> FileModifiedLocal(std::string_view path) {
  auto seconds = FileModified(path);
  if (!seconds) return std::nullopt;
  std::time_t t = static_cast<std::time_t>(*seconds);
  std::tm tm{};
  localtime_r(&t, &tm);
  return DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

bool SetFileModifiedLocal(std::string_view path, const DateTime& local) {
  std::tm tm{};
  tm.tm_year = local.year - 1900;
  tm.tm_mon = local.month - 1;
  tm.tm_mday = local.day;
  tm.tm_hour = local.hour;
  tm.tm_min = local.minute;
  tm.tm_sec = local.second;
  tm.tm_isdst = -1;
  std::time_t t = std::mktime(&tm);
  if (t == static_cast<std::time_t>(-1)) return false;
  return SetFileModified(path, t);
}

std::vector<DirEntry> ListDirectory(std::string_view dir) {
  std::vector<DirEntry> entries;
  std::string host = HostPath(dir);
  DIR* d = ::opendir(host.c_str());
  if (!d) return entries;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    DirEntry entry;
    entry.name = Utf8ToCp866(name);
    entry.isHidden = name[0] == '.';
    struct stat st {};
    if (::fstatat(dirfd(d), e->d_name, &st, 0) == 0) {
      entry.isDirectory = S_ISDIR(st.st_mode);
      entry.size = st.st_size;
      entry.modified = st.st_mtim.tv_sec;
    }
    entries.push_back(std::move(entry));
  }
  ::closedir(d);
  std::sort(entries.begin(), entries.end(),
            [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
  return entries;
}

bool MakeDirectory(std::string_view path) {
  std::string host = HostPath(path);
  if (::mkdir(host.c_str(), kNewDirectoryMode) != 0)
    return errno == EEXIST && DirectoryExists(path);
  ForgetDirectoryListing(HostParentDirectory(host));
  return true;
}

bool MakeDirectories(std::string_view path) {
  std::string host = HostPath(path);
  for (size_t pos = 1; pos <= host.size(); ++pos) {
    if (pos < host.size() && host[pos] != '/') continue;
    std::string prefix = host.substr(0, pos);
    struct stat st {};
    if (::stat(prefix.c_str(), &st) == 0) {
      if (!S_ISDIR(st.st_mode)) return false;
      continue;
    }
    if (::mkdir(prefix.c_str(), kNewDirectoryMode) != 0 && errno != EEXIST) return false;
    ForgetDirectoryListing(HostParentDirectory(prefix));
  }
  return true;
}

bool RemoveDirectory(std::string_view path) {
  std::string host = HostPath(path);
  if (::rmdir(host.c_str()) != 0) return false;
  ForgetDirectoryListing(HostParentDirectory(host));
  return true;
}

bool RemoveFile(std::string_view path) {
  std::string host = HostPath(path);
  DirectoryChange change(HostParentDirectory(host));
  if (::unlink(host.c_str()) != 0) return false;
  change.Removed(HostBaseName(host));
  change.Commit();
  return true;
}

bool RenameFile(std::string_view from, std::string_view to) {
  std::string a = HostPath(from);
  std::string b = HostPath(to);
  const std::string dirA = HostParentDirectory(a);
  const std::string dirB = HostParentDirectory(b);
  if (dirA != dirB) {
    if (std::rename(a.c_str(), b.c_str()) != 0) return false;
    ForgetDirectoryListing(dirA);
    ForgetDirectoryListing(dirB);
    return true;
  }
  // Within one directory, as a decoded file gets its name: the listing follows.
  DirectoryChange change(dirA);
  if (std::rename(a.c_str(), b.c_str()) != 0) return false;
  change.Removed(HostBaseName(a));
  change.Added(HostBaseName(b));
  change.Commit();
  return true;
}

bool CopyFile(std::string_view from, std::string_view to) {
  File in, out;
  if (!in.Open(from, OpenMode::Read) || !out.Open(to, OpenMode::Create, Links::Replace))
    return false;
  char buffer[65536];
  bool ok = true;
  for (;;) {
    size_t n = in.Read(buffer, sizeof buffer);
    if (n > 0 && !out.Write(buffer, n)) ok = false;
    if (!ok || n < sizeof buffer) break;
  }
  ok = ok && in.LastError() == 0;
  out.Close();
  // A half-written copy (a full disk) must not pass for the file.
  if (!ok) RemoveFile(to);
  return ok;
}

int RemoveStaleTemporaries(std::string_view dir, std::string_view mask, int64_t quietSeconds) {
  return RemoveStaleHostTemporaries(HostPath(dir), mask, quietSeconds);
}

std::string CurrentDirectory() {
  char* cwd = ::getcwd(nullptr, 0);
  std::string dir = cwd ? cwd : "/";
  std::free(cwd);
  return Utf8ToCp866(dir);
}

std::optional<std::string> DirectoryToEnter(std::string_view path) {
  const std::string host = HostPath(path);
  struct stat st {};
  if (::stat(host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || ::access(host.c_str(), X_OK) != 0)
    return std::nullopt;
  char* resolved = ::realpath(host.c_str(), nullptr);
  if (resolved == nullptr) return std::nullopt;
  std::string dir = resolved;
  std::free(resolved);
  return Utf8ToCp866(dir);
}

std::string NearestExistingHostPath(std::string_view path) {
  std::string host = HostPath(path);
  struct stat st {};
  while (::stat(host.c_str(), &st) != 0) {
    std::string parent = HostParentDirectory(host);
    if (parent == host) break;
    host = std::move(parent);
  }
  return host;
}

int64_t FreeDiskSpaceOfHostPath(const std::string& hostPath) {
  struct statvfs vfs {};
  if (::statvfs(hostPath.c_str(), &vfs) != 0) return -1;
  return static_cast<int64_t>(vfs.f_bavail) * static_cast<int64_t>(vfs.f_frsize);
}

bool SyncFileSystemOfHostPath(const std::string& hostPath) {
  const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  const bool synced = ::syncfs(fd) == 0;
  ::close(fd);
  return synced;
}

int64_t FreeDiskSpace(std::string_view path) {
  return FreeDiskSpaceOfHostPath(NearestExistingHostPath(path));
}

bool MatchesFileMask(std::string_view name, std::string_view mask) {
  // "*.*" means every file, also one without an extension.
  if (mask == "*.*") return true;
  auto same = [](char a, char b) {
    return UpCaseCp866(static_cast<unsigned char>(a)) == UpCaseCp866(static_cast<unsigned char>(b));
  };
  // Iterative wildcard match with backtracking to the last "*".
  size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starM = m++;
      starN = n;
    } else if (m < mask.size() && (mask[m] == '?' || same(name[n], mask[m]))) {
      ++n;
      ++m;
    } else if (starM != std::string_view::npos) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace vm
