// The AREA line of VELDMARK.CTL: "AREA type tag path", one area written by hand.
#include <string>

#include "config/area_source.h"
#include "config/config_lines.h"
#include "platform/fatal.h"
#include "platform/host_path.h"
#include "text/cp866.h"

namespace vm {
namespace {

// The area id letter of a base type word; 0 for an unknown type.
char LetterOfType(const std::string& type) {
  if (type == "MSG") return 'F';
  if (type == "JAM") return 'J';
  if (type == "SQUISH") return 'S';
  if (type == "HUDSON") return 'H';
  return 0;
}

}  // namespace

void AddManualArea(std::string_view line, size_t position, AreaReaderContext& context) {
  std::string type = NextUpperWord(position, line);
  std::string tag = NextUpperWord(position, line);
  // The path as written: a base the program creates gets the sysop's spelling.
  std::string basePath = NextWord(position, line);
  char letter = LetterOfType(type);
  if (letter == 0 || tag.empty() || basePath.empty())
    FatalExit(Cp866("VELDMARK.CTL строка ") + std::to_string(context.settingsLine) +
              Cp866(": Ошибка в параметре AREA"));

  // A Hudson path is the three-digit board number written before the directory (001C:\FIDO\).
  std::string areaId = letter + WithoutTrailingSlash(basePath);
  FoundArea area;
  area.tag = tag;
  area.areaId = areaId;
  TakeArea(context, area, AreaSource::Manual);
}

}  // namespace vm
