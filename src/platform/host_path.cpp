#include "platform/host_path.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <unordered_map>
#include <vector>

#include "text/cp866.h"

namespace vm {
namespace {

struct Listing {
  timespec modified{};
  std::vector<std::string> names;  // UTF-8, sorted by bytes
};

std::unordered_map<std::string, Listing>& Cache() {
  static std::unordered_map<std::string, Listing> cache;
  return cache;
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

const Listing* ListingOf(const std::string& dir) {
  struct stat st {};
  if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
  auto& cache = Cache();
  auto it = cache.find(dir);
  if (it != cache.end() && SameTime(it->second.modified, st.st_mtim)) return &it->second;
  Listing listing;
  listing.modified = st.st_mtim;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string name = e->d_name;
      if (name != "." && name != "..") listing.names.push_back(std::move(name));
    }
    closedir(d);
  }
  std::sort(listing.names.begin(), listing.names.end());
  return &(cache[dir] = std::move(listing));
}

// Finds an existing entry of dir whose name equals component without regard to case.
std::string MatchComponent(const std::string& dir, const std::string& componentUtf8) {
  std::string path = dir == "/" ? "/" + componentUtf8 : dir + "/" + componentUtf8;
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0) return componentUtf8;
  const Listing* listing = ListingOf(dir);
  if (!listing) return componentUtf8;
  std::string wanted = Utf8ToCp866(componentUtf8);
  for (const std::string& name : listing->names)
    if (EqualNoCaseCp866(Utf8ToCp866(name), wanted)) return name;
  return componentUtf8;
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

}  // namespace

std::string HostPath(std::string_view dosPath) {
  if (EqualNoCaseCp866(dosPath, "NUL")) return "/dev/null";
  std::string_view rest = dosPath;
  std::string base;
  if (rest.size() >= 2 && rest[1] == ':' &&
      ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= 'a' && rest[0] <= 'z'))) {
    base = DriveRoot(rest[0]);
    rest.remove_prefix(2);
  } else if (!rest.empty() && IsSeparator(rest[0])) {
    base = "/";
  } else {
    base = CurrentHostDirectory();
  }
  std::string path = base;
  bool exists = true;  // whether every component so far exists
  size_t pos = 0;
  while (pos <= rest.size()) {
    size_t end = pos;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    std::string_view component = rest.substr(pos, end - pos);
    pos = end + 1;
    if (component.empty() || component == ".") {
      if (end >= rest.size()) break;
      continue;
    }
    if (component == "..") {
      size_t slash = path.find_last_of('/');
      path = slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
      continue;
    }
    std::string utf8 = Cp866ToUtf8(component);
    if (exists) {
      utf8 = MatchComponent(path, utf8);
      std::string next = path == "/" ? "/" + utf8 : path + "/" + utf8;
      struct stat st {};
      exists = lstat(next.c_str(), &st) == 0;
      path = std::move(next);
    } else {
      path = path == "/" ? "/" + utf8 : path + "/" + utf8;
    }
    if (end >= rest.size()) break;
  }
  return path;
}

std::string ProgramPathFromHost(std::string_view hostPath) { return Utf8ToCp866(hostPath); }

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
