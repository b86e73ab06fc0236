#include "shell/directory_list.h"

#include <algorithm>

#include "platform/file_system.h"
#include "text/text_helpers.h"

namespace vm::shell {

DirectoryListing ReadDirectoryList(std::string_view directory, bool showHidden, bool isRoot) {
  DirectoryListing list;
  if (!isRoot) list.entries.push_back(DirectoryEntry{"..", true});
  for (DirEntry& entry : ListDirectory(directory)) {
    if (entry.isHidden && !showHidden) continue;
    if (list.entries.size() >= DirectoryListing::kCapacity) {
      list.tooMany = true;
      break;
    }
    DirectoryEntry shown;
    shown.name = std::move(entry.name);
    if (!entry.isDirectory && shown.name.find('.') == std::string::npos) shown.name += '.';
    shown.isDirectory = entry.isDirectory;
    shown.modified = entry.modified;
    shown.size = entry.size;
    list.entries.push_back(std::move(shown));
  }
  std::stable_sort(list.entries.begin(), list.entries.end(),
                   [](const DirectoryEntry& a, const DirectoryEntry& b) {
                     const bool aUp = a.name == "..";
                     const bool bUp = b.name == "..";
                     if (aUp != bUp) return aUp;
                     if (a.isDirectory != b.isDirectory) return a.isDirectory;
                     return a.name < b.name;
                   });
  return list;
}

NameParts SplitName(std::string_view name) {
  if (name == "..") return {"..", ""};
  const size_t dot = name.rfind('.');
  // A leading dot (a hidden file's) belongs to the base name.
  if (dot == std::string_view::npos || dot == 0) return {std::string(name), ""};
  return {std::string(name.substr(0, dot)), std::string(name.substr(dot + 1))};
}

std::string NameColumn(const NameParts& parts, size_t baseWidth, size_t gap) {
  constexpr size_t kExtWidth = 3;
  std::string column = FieldPad(baseWidth, 0, parts.base) + std::string(gap, ' ') +
                       FieldPad(kExtWidth, 0, parts.ext);
  if (parts.base.size() > baseWidth || parts.ext.size() > kExtWidth) column.back() = '}';
  return column;
}

}  // namespace vm::shell
