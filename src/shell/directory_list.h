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
  // A generous bound that keeps a runaway directory from filling the memory.
  static constexpr size_t kCapacity = 100'000;

  std::vector<DirectoryEntry> entries;
  bool tooMany = false;  // the directory held more entries than the list takes
};

// Reads the directory: "." never, ".." unless the directory is a drive's root, hidden files
// only with showHidden; then ".." first, directories before files, each group by name in
// byte order. At most kCapacity entries are kept (tooMany tells that some were left out).
DirectoryListing ReadDirectoryList(std::string_view directory, bool showHidden, bool isRoot);

// The name as the panel shows it: the base name and the extension (without its dot).
struct NameParts {
  std::string base;
  std::string ext;
};
NameParts SplitName(std::string_view name);
// A panel's name column: the base name in baseWidth characters, `gap` blanks, the extension
// in 3. A name cut to fit is marked with "}" in the column's last character.
std::string NameColumn(const NameParts& parts, size_t baseWidth, size_t gap);

}  // namespace vm::shell
