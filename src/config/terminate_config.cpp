// Terminate's TM.CFG names the area file (AREAFILE); each line of that file is
// "path tag ..." with JAM or MSG somewhere on the line telling the base type.
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

[[noreturn]] void FileUnreadable(std::string_view path, int error) {
  FatalExit(Cp866("Файл ") + std::string(path) + UnreadableFileReason(error, kMaxConfigText) + ".");
}

// Lines too short to hold anything, and those starting with % or @, carry no setting.
bool IsSettingLine(std::string_view line, size_t& pos) {
  SkipBlanks(pos, line);
  return line.size() - pos >= 2 && line[pos] != '%' && line[pos] != '@';
}

// An absolute path (with a drive or from the root) stands as it is; others are relative to
// TM.CFG's directory.
bool IsAbsolute(std::string_view path) {
  return (path.size() >= 2 && path[1] == ':') ||
         (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

std::string FindAreaFile(const ConfigText& text, const std::string& configDir) {
  std::string areaFile;
  for (std::string_view line : text.lines) {
    size_t pos = 0;
    if (!IsSettingLine(line, pos)) continue;
    std::string keyword = NextUpperWord(pos, line);
    std::string value = NextUpperWord(pos, line);
    if (keyword == "AREAFILE" && !value.empty())
      areaFile = IsAbsolute(value) ? value : configDir + value;
  }
  return areaFile;
}

}  // namespace

void ReadTerminateConfig(std::string_view path, AreaReaderContext& context) {
  std::string configDir = SplitPath(path).dir;
  ConfigText text;
  int error = 0;
  if (!ReadConfigText(path, text, error)) FileUnreadable(path, error);
  std::string areaFile = FindAreaFile(text, configDir);
  if (areaFile.empty())
    FatalExit(Cp866("В файле ") + std::string(path) + Cp866(" нет параметра AREAFILE"));
  if (!ReadConfigText(areaFile, text, error)) FileUnreadable(areaFile, error);

  for (std::string_view rawLine : text.lines) {
    std::string line = UpCaseCp866(rawLine);
    size_t pos = 0;
    if (!IsSettingLine(line, pos)) continue;
    // Upper-casing keeps every position: the path is taken as the file spells it.
    size_t pathPos = pos;
    std::string basePath = WithoutTrailingSlash(NextWord(pathPos, rawLine));
    NextUpperWord(pos, line);
    std::string tag = NextUpperWord(pos, line);
    // MSG wins over JAM when both occur; a line with neither names no base we can open.
    const bool msg = line.find("MSG") != std::string::npos;
    if (!(msg || line.find("JAM") != std::string::npos) || tag.empty()) continue;
    if (basePath.size() < 2 || basePath[1] != ':') basePath = configDir + "TERMAIL\\" + basePath;

    std::string areaId = AreaId::Of(msg ? BaseKind::Fido : BaseKind::Jam, basePath).Format();
    FoundArea area;
    area.tag = tag;
    area.areaId = areaId;
    TakeArea(context, area, AreaSource::Terminate);
  }
}

}  // namespace vm
