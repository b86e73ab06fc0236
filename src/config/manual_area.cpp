// The AREA line of VELDMARK.CTL: "AREA type tag path", one area written by hand.
#include <string>

#include "config/area_source.h"
#include "config/config_lines.h"
#include "msgbase/area_id.h"
#include "platform/fatal.h"
#include "platform/host_path.h"
#include "text/cp866.h"

namespace vm {

void AddManualArea(std::string_view line, size_t position, AreaReaderContext& context) {
  std::string type = NextUpperWord(position, line);
  std::string tag = NextUpperWord(position, line);
  // The path as written: a base the program creates gets the sysop's spelling.
  std::string basePath = NextWord(position, line);
  const BaseKindRow* kind = KindOfKeyword(type);
  if (kind == nullptr || tag.empty() || basePath.empty())
    FatalExit(Cp866("VELDMARK.CTL строка ") + std::to_string(context.settingsLine) +
              Cp866(": Ошибка в параметре AREA"));

  // A Hudson path is the three-digit board number written before the directory (001C:\FIDO\).
  std::string areaId = AreaId::Of(kind->kind, WithoutTrailingSlash(basePath)).Format();
  FoundArea area;
  area.tag = tag;
  area.areaId = areaId;
  TakeArea(context, area, AreaSource::Manual);
}

}  // namespace vm
