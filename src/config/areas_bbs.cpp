// AREAS.BBS: one area per line, "path tag [links...]". The path's first character names the
// base: ! JAM, $ Squish, a digit a Hudson board, P a passed-through area, else *.MSG.
#include <string>
#include <vector>

#include "config/area_source.h"
#include "config/case_fold.h"
#include "config/config_lines.h"
#include "platform/fatal.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr int kHighestHudsonBoard = 999;  // what three digits can name

// The area id for the path word, or empty when the line names no base of its own.
std::string AreaIdFromPath(std::string path, const Settings& settings) {
  if (path.empty()) return {};
  char first = path[0];
  if (first == 'P') return {};
  if (first == '!' || first == '$') {
    path[0] = first == '!' ? 'J' : 'S';
    return path;
  }
  if (first >= '0' && first <= '9') {
    // A Hudson board number; anything but a plain number of three digits at most names no
    // board that the base could find.
    std::optional<int64_t> board = ParseWholeNumber(path);
    if (!board || *board < 0 || *board > kHighestHudsonBoard) return {};
    return HudsonAreaId(static_cast<int>(*board), settings.HUDSONPATH);
  }
  return path.insert(0, 1, 'F');
}

}  // namespace

void ReadAreasBbs(std::string_view path, AreaReaderContext& context) {
  ConfigText text;
  int error = 0;
  if (!ReadConfigText(path, text, error))
    FatalExit(Cp866("VELDMARK.CTL строка ") + std::to_string(context.settingsLine) +
              Cp866(": Файл AREAS.BBS не найден - проверьте параметр AREASPATH"));

  for (std::string_view line : text.lines) {
    size_t pos = 0;
    SkipBlanks(pos, line);
    if (pos >= line.size() || line[pos] == ';') continue;
    std::string basePath = GetWord(pos, line);
    SkipBlanks(pos, line);
    std::string tag = GetWord(pos, line);
    UpCaseInPlace(basePath);
    UpCaseInPlace(tag);
    std::string areaId = AreaIdFromPath(std::move(basePath), context.settings);
    if (areaId.empty() || tag.empty()) continue;

    AreaEntry* entry = TakeArea(context, tag, std::move(areaId), AreaSource::AreasBbs);
    if (!entry) continue;
    // The first link, when it is an address, is the address the area posts from.
    SkipBlanks(pos, line);
    std::string link = GetWord(pos, line);
    if (auto address = ParseNetAddress(link, context.settings.lastParsedAddress)) {
      entry->address = *address;
      context.settings.lastParsedAddress = *address;
    }
  }
}

}  // namespace vm
