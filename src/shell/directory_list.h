// The directory panel's list: the entries of the current directory, read and sorted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vm::shell {

struct DirectoryEntry {
  std::string name;  // CP866; a file name without a dot gets a trailing "."
  bool isDirectory = false;
  bool selected = false;
  int64_t modified = 0;  // seconds since the epoch
  int64_t size = 0;
};

struct DirectoryListing {
  static constexpr size_t kCapacity = 1000;

  std::vector<DirectoryEntry> entries;
  bool tooMany = false;  // the directory held more entries than the list takes
};

// Reads the directory: "." never, ".." unless the directory is a drive's root, hidden files
// only with showHidden; then ".." first, directories before files, each group by name in
// byte order. At most kCapacity entries are kept.
DirectoryListing ReadDirectoryList(std::string_view directory, bool showHidden, bool isRoot);

// The name as the panel shows it: the base name and the extension (without its dot).
struct NameParts {
  std::string base;
  std::string ext;
};
NameParts SplitName(std::string_view name);

}  // namespace vm::shell
