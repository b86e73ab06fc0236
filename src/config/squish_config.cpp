// SQUISH.CFG: the area lines NetArea, EchoArea, BadArea, LocalArea and DupeArea.
#include <string>
#include <vector>

#include "config/area_source.h"
#include "config/config_lines.h"
#include "msgbase/area_id.h"
#include "platform/fatal.h"
#include "platform/host_path.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

bool IsAreaKeyword(const std::string& word) {
  return word == "NETAREA" || word == "ECHOAREA" || word == "BADAREA" || word == "LOCALAREA" ||
         word == "DUPEAREA";
}

}  // namespace

void ReadSquishConfig(std::string_view path, AreaReaderContext& context) {
  ConfigText text;
  int error = 0;
  if (!ReadConfigText(path, text, error))
    FatalExit(Cp866("VELDMARK.CTL строка ") + std::to_string(context.settingsLine) +
              Cp866(": Файл SQUISH.CFG") + UnreadableFileReason(error, kMaxConfigText) +
              Cp866(" - проверьте параметр SQUISHPATH"));

  for (std::string_view line : text.lines) {
    size_t pos = 0;
    SkipBlanks(pos, line);
    if (pos >= line.size() || line[pos] == ';' || line.size() <= 5) continue;
    std::string keyword = NextUpperWord(pos, line);
    // "-0" marks a passed-through area, which has no message base.
    if (!IsAreaKeyword(keyword) || line.find("-0") != std::string::npos) continue;
    std::string tag = NextUpperWord(pos, line);
    std::string basePath = WithoutTrailingSlash(NextWord(pos, line));
    if (tag.empty() || basePath.empty()) continue;

    // "-$" marks a Squish base; without it the area is a directory of *.MSG files.
    const BaseKind kind = line.find("-$") != std::string::npos ? BaseKind::Squish : BaseKind::Fido;
    std::string areaId = AreaId::Of(kind, basePath).Format();
    FoundArea area;
    area.tag = tag;
    area.areaId = areaId;
    area.netmail = keyword == "NETAREA" ? 1 : 0;
    TakeArea(context, area, AreaSource::Squish);
  }
}

}  // namespace vm
