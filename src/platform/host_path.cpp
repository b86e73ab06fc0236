#include "platform/host_path.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <unordered_map>
#include <vector>

#include "text/cp866.h"

namespace vm {
namespace {

// One directory's entries, found by their CP866 upper-cased names.
struct Listing {
  timespec modified{};
  // Whether a later change of the directory is sure to change its modification time: false
  // when the listing was read within the clock tick of the last change, since another change
  // in that same tick would leave the time as it is.
  bool trustworthy = false;
  // Folded CP866 name -> the UTF-8 names that fold to it, in byte order (nearly always one).
  std::unordered_map<std::string, std::vector<std::string>> byFoldedName;
};

std::string Folded(const std::string& utf8Name) { return UpCaseCp866(Utf8ToCp866(utf8Name)); }

std::unordered_map<std::string, Listing>& Cache() {
  static std::unordered_map<std::string, Listing> cache;
  return cache;
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool Later(const timespec& a, const timespec& b) {
  return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

const Listing* ListingOf(const std::string& dir) {
  struct stat st {};
  if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
  auto& cache = Cache();
  auto it = cache.find(dir);
  if (it != cache.end() && it->second.trustworthy && SameTime(it->second.modified, st.st_mtim))
    return &it->second;

  // File times come from the kernel's coarse clock; the listing can be trusted once that clock
  // has moved past the directory's time before the reading starts.
  timespec now{};
  clock_gettime(CLOCK_REALTIME_COARSE, &now);
  Listing listing;
  listing.modified = st.st_mtim;
  listing.trustworthy = Later(now, st.st_mtim);
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(std::move(name));
    }
    closedir(d);
  }
  // Several names may fold alike (readme, README); the first in byte order wins.
  std::sort(names.begin(), names.end());
  for (std::string& name : names) listing.byFoldedName[Folded(name)].push_back(std::move(name));
  return &(cache[dir] = std::move(listing));
}

std::string Join(const std::string& dir, const std::string& name) {
  return dir == "/" ? "/" + name : dir + "/" + name;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}

// The existing entry of dir that component names: the exact name when it exists, else the
// first in byte order that equals it without regard to case; empty when there is none.
std::string FindEntry(const std::string& dir, const std::string& componentUtf8) {
  if (Exists(Join(dir, componentUtf8))) return componentUtf8;
  const Listing* listing = ListingOf(dir);
  if (!listing) return {};
  auto it = listing->byFoldedName.find(Folded(componentUtf8));
  return it == listing->byFoldedName.end() ? std::string() : it->second.front();
}

std::string DriveRoot(char letter) {
  std::string var = "VELDMARK_DRIVE_";
  var += static_cast<char>(UpCaseCp866(static_cast<unsigned char>(letter)));
  const char* value = std::getenv(var.c_str());
  if (!value || !*value) return "/";
  std::string root = value;
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  return root;
}

std::string CurrentHostDirectory() {
  char* cwd = getcwd(nullptr, 0);
  std::string dir = cwd ? cwd : "/";
  std::free(cwd);
  return dir;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// "NUL" names the null device in any directory and on any drive, also written "NUL:".
bool NamesNullDevice(std::string_view dosPath) {
  if (!dosPath.empty() && dosPath.back() == ':') dosPath.remove_suffix(1);
  size_t start = dosPath.find_last_of("\\/:");
  return EqualNoCaseCp866(dosPath.substr(start == std::string_view::npos ? 0 : start + 1), "NUL");
}

}  // namespace

std::string HostPath(std::string_view dosPath) {
  // The program's texts end at a NUL byte, as they did for the DOS file functions.
  dosPath = dosPath.substr(0, dosPath.find('\0'));
  if (NamesNullDevice(dosPath)) return "/dev/null";

  std::string_view rest = dosPath;
  std::string base;
  bool rooted = true;  // ".." above a drive's root or "/" stays there, as in DOS
  if (rest.size() >= 2 && rest[1] == ':' && IsDriveLetter(rest[0])) {
    base = DriveRoot(rest[0]);
    rest.remove_prefix(2);
  } else if (!rest.empty() && IsSeparator(rest[0])) {
    base = "/";
  } else {
    base = CurrentHostDirectory();
    rooted = false;
  }

  // The components in UTF-8, with "." dropped and ".." applied.
  std::vector<std::string> components;
  size_t pos = 0;
  while (pos < rest.size()) {
    size_t end = pos;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    std::string_view component = rest.substr(pos, end - pos);
    pos = end + 1;
    if (component.empty() || component == ".") continue;
    if (component == "..") {
      if (!components.empty()) {
        components.pop_back();
      } else if (!rooted) {
        base = HostParentDirectory(base);
      }
      continue;
    }
    components.push_back(Cp866ToUtf8(component));
  }

  // Most paths exist as written: one lstat settles them.
  std::string path = base;
  for (const std::string& component : components) path = Join(path, component);
  if (Exists(path)) return path;

  path = base;
  bool found = true;  // whether every component so far exists
  for (const std::string& component : components) {
    if (found) {
      std::string entry = FindEntry(path, component);
      found = !entry.empty();
      path = Join(path, found ? entry : component);
    } else {
      path = Join(path, component);
    }
  }
  return path;
}

std::string ProgramPathFromHost(std::string_view hostPath) { return Utf8ToCp866(hostPath); }

std::string HostParentDirectory(std::string_view hostPath) {
  size_t slash = hostPath.find_last_of('/');
  if (slash == std::string_view::npos) return ".";
  return slash == 0 ? "/" : std::string(hostPath.substr(0, slash));
}

std::string HostBaseName(std::string_view hostPath) {
  size_t slash = hostPath.find_last_of('/');
  return std::string(slash == std::string_view::npos ? hostPath : hostPath.substr(slash + 1));
}

DirectoryChange::DirectoryChange(std::string hostDir) : dir_(std::move(hostDir)) {
  // Without a listing in the cache there is nothing to keep up to date.
  struct stat st {};
  known_ = Cache().count(dir_) != 0 && stat(dir_.c_str(), &st) == 0;
  before_ = st.st_mtim;
}

void DirectoryChange::Commit() {
  auto& cache = Cache();
  auto it = cache.find(dir_);
  if (it == cache.end()) return;
  Listing& listing = it->second;
  struct stat st {};
  // Only a listing that was current just before the change can follow it.
  if (!known_ || !listing.trustworthy || !SameTime(listing.modified, before_) ||
      stat(dir_.c_str(), &st) != 0) {
    cache.erase(it);
    return;
  }
  for (const auto& [added, name] : changes_) {
    std::vector<std::string>& names = listing.byFoldedName[Folded(name)];
    auto at = std::lower_bound(names.begin(), names.end(), name);
    const bool present = at != names.end() && *at == name;
    if (added && !present) names.insert(at, name);
    if (!added && present) names.erase(at);
    if (names.empty()) listing.byFoldedName.erase(Folded(name));
  }
  listing.modified = st.st_mtim;
}

void ForgetDirectoryListing(const std::string& hostDir) { Cache().erase(hostDir); }
void ForgetAllDirectoryListings() { Cache().clear(); }

PathParts SplitPath(std::string_view path) {
  PathParts parts;
  size_t dirEnd = path.find_last_of("\\/:");
  size_t nameStart = dirEnd == std::string_view::npos ? 0 : dirEnd + 1;
  parts.dir = std::string(path.substr(0, nameStart));
  std::string_view file = path.substr(nameStart);
  size_t dot = file.rfind('.');
  if (dot == std::string_view::npos || file == "." || file == "..") {
    parts.name = std::string(file);
  } else {
    parts.name = std::string(file.substr(0, dot));
    parts.ext = std::string(file.substr(dot));
  }
  return parts;
}

std::string WithTrailingSlash(std::string_view path) {
  std::string out(path);
  if (out.empty() || (out.back() != '\\' && out.back() != '/')) out += '\\';
  return out;
}

std::string WithoutTrailingSlash(std::string_view path) {
  std::string out(path);
  while (out.size() > 1 && (out.back() == '\\' || out.back() == '/')) out.pop_back();
  return out;
}

}  // namespace vm
