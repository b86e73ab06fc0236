#include "decode/file_destination.h"

#include "config/area_table.h"
#include "decode/safe_name.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr size_t kShortBaseWidth = 8;
constexpr size_t kShortNameWidth = 12;

}  // namespace

std::string DecodeDirFor(const AreaEntry& area, std::string_view fileName) {
  if (!area.fileRoutes) return std::string();
  for (const FileRoute& route : *area.fileRoutes)
    if (MatchesFileMask(fileName, route.mask)) return route.directory;
  return std::string();
}

std::string AreaDirectoryName(std::string_view tag, bool longFileNames) {
  // A tag is the sysop's text, but it becomes one directory name: no separators or "..".
  if (longFileNames) return SafeOutputName(tag);
  std::string name;
  for (char c : tag)
    if (c != ' ' && c != '.') name += c;
  if (name.size() > kShortBaseWidth) name.insert(kShortBaseWidth, ".");
  return SafeOutputName(CutTo(name, kShortNameWidth));
}

std::string AbsoluteFrom(std::string_view path, std::string_view base) {
  const bool absolute = (path.size() >= 2 && path[1] == ':') ||
                        (!path.empty() && (path[0] == '\\' || path[0] == '/'));
  if (absolute || path.empty()) return std::string(path);
  return WithTrailingSlash(base) + std::string(path);
}

}  // namespace vm
