#include "platform/drive_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "platform/host.h"
#include "platform/host_path.h"
#include "text/cp866.h"

namespace vm {
namespace {

// The directory with symbolic links and "." / ".." resolved; empty when it does not exist.
std::string RealDirectory(const std::string& path) {
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

bool Holds(const std::string& dir, const std::string& path) {
  if (dir == "/") return true;
  return path.compare(0, dir.size(), dir) == 0 &&
         (path.size() == dir.size() || path[dir.size()] == '/');
}

DriveEntry::Kind KindOf(int dirFd, const char* name, unsigned char type) {
  using Kind = DriveEntry::Kind;
  struct stat st {};
  if (type == DT_UNKNOWN) {
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return Kind::Other;
    type = S_ISDIR(st.st_mode)   ? DT_DIR
           : S_ISREG(st.st_mode) ? DT_REG
           : S_ISLNK(st.st_mode) ? DT_LNK
                                 : DT_UNKNOWN;
  }
  if (type == DT_DIR) return Kind::Directory;
  if (type == DT_REG) return Kind::File;
  if (type == DT_LNK && ::fstatat(dirFd, name, &st, 0) == 0 && S_ISREG(st.st_mode))
    return Kind::File;
  return Kind::Other;
}

}  // namespace

std::string HostDrive::Join(const std::string& programDir, const std::string& entry) const {
  char separator = name == "/" ? '/' : '\\';
  std::string path = programDir;
  if (path.empty() || path.back() != separator) path += separator;
  return path + entry;
}

std::string HostDrive::RootPath() const { return name == "/" ? name : name + "\\"; }

HostDrive DriveOf(std::string_view directory) {
  HostDrive drive{"/", "/"};
  const std::string current = RealDirectory(HostPath(directory));
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    std::string variable = std::string("VELDMARK_DRIVE_") + letter;
    std::string root = GetEnvironment(variable.c_str());
    if (root.empty()) continue;
    root = RealDirectory(root);
    bool deeper = drive.name == "/" || root.size() > drive.hostRoot.size();
    if (!root.empty() && !current.empty() && Holds(root, current) && deeper)
      drive = HostDrive{std::string(1, letter) + ":", root};
  }
  return drive;
}

std::vector<DriveEntry> ListDriveDirectory(const std::string& hostDir) {
  std::vector<DriveEntry> entries;
  DIR* dir = ::opendir(hostDir.c_str());
  if (!dir) return entries;
  while (dirent* e = ::readdir(dir)) {
    std::string hostName = e->d_name;
    if (hostName == "." || hostName == "..") continue;
    DriveEntry entry;
    entry.kind = KindOf(dirfd(dir), e->d_name, e->d_type);
    entry.name = Utf8ToCp866(hostName);
    entry.hostName = std::move(hostName);
    entries.push_back(std::move(entry));
  }
  ::closedir(dir);
  std::sort(entries.begin(), entries.end(),
            [](const DriveEntry& a, const DriveEntry& b) { return a.hostName < b.hostName; });
  return entries;
}

bool IsKernelDirectory(const std::string& hostDir) {
  return hostDir == "/proc" || hostDir == "/sys" || hostDir == "/dev" || hostDir == "/run";
}

}  // namespace vm
