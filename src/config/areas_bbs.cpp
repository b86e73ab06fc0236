// AREAS.BBS: one area per line, "path tag [links...]". The path's first character names the
// base: ! JAM, $ Squish, a digit a Hudson board, P a passed-through area, else *.MSG.
#include <string>
#include <vector>

#include "config/area_source.h"
#include "config/case_fold.h"
#include "config/config_lines.h"
#include "msgbase/area_id.h"
#include "platform/fatal.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr int kHighestHudsonBoard = 999;  // what three digits can name

// Sets areaId to the area id for the path word (as written); false when the line names no base
// of its own.
bool AreaIdFromPath(std::string_view path, const Settings& settings, std::string& areaId) {
  areaId.clear();
  if (path.empty()) return false;
  char first = static_cast<char>(UpCaseCp866(static_cast<unsigned char>(path[0])));
  if (first == 'P') return false;
  if (first >= '0' && first <= '9') {
    // A Hudson board number; anything but a plain number of three digits at most names no
    // board that the base could find.
    std::optional<int64_t> board = ParseWholeNumber(path);
    if (!board || *board < 0 || *board > kHighestHudsonBoard) return false;
    areaId = AreaId::OnBoard(BaseKind::Hudson, static_cast<unsigned>(*board), settings.HUDSONPATH)
                 .Format();
    return true;
  }
  // "!" marks a JAM base, "$" a Squish one; a plain path is a directory of *.MSG files.
  const BaseKind kind = first == '!'   ? BaseKind::Jam
                        : first == '$' ? BaseKind::Squish
                                       : BaseKind::Fido;
  if (first == '!' || first == '$') path.remove_prefix(1);
  areaId = AreaId::Of(kind, path).Format();
  return true;
}

}  // namespace

void ReadAreasBbs(std::string_view path, AreaReaderContext& context) {
  ConfigText text;
  int error = 0;
  if (!ReadConfigText(path, text, error))
    FatalExit(Cp866("VELDMARK.CTL строка ") + std::to_string(context.settingsLine) +
              Cp866(": Файл AREAS.BBS") + UnreadableFileReason(error, kMaxConfigText) +
              Cp866(" - проверьте параметр AREASPATH"));

  // Kept from line to line, so that their buffers are made once.
  std::string tag;
  std::string areaId;
  for (std::string_view line : text.lines) {
    size_t pos = 0;
    SkipBlanks(pos, line);
    if (pos >= line.size() || line[pos] == ';') continue;
    std::string_view basePath = GetWordView(pos, line);
    SkipBlanks(pos, line);
    std::string_view tagWord = GetWordView(pos, line);
    if (!AreaIdFromPath(basePath, context.settings, areaId) || tagWord.empty()) continue;
    tag.clear();
    AppendUpCased(tag, tagWord);
    // The first link, when it is an address, is the address the area posts from.
    SkipBlanks(pos, line);
    auto address = ParseNetAddress(GetWordView(pos, line), context.settings.lastParsedAddress);
    FoundArea area;
    area.tag = tag;
    area.areaId = areaId;
    if (address) area.address = *address;
    if (TakeArea(context, area, AreaSource::AreasBbs) && address)
      context.settings.lastParsedAddress = *address;
  }
}

}  // namespace vm
