// The readers that learn message areas from echo processors' configurations and from AREA
// lines, called while VELDMARK.CTL is read, and the steps that finish the table.
#pragma once

#include <string>
#include <string_view>

#include "config/area_table.h"
#include "config/settings.h"
#include "platform/console.h"

namespace vm {

// What the readers share while the settings file is read.
struct AreaReaderContext {
  Settings& settings;  // USEID, HUDSONPATH, the last parsed address
  AreaTable& areas;
  Console& console;
  int settingsLine = 0;            // line of VELDMARK.CTL being read, for messages
  std::string fastEchoNetmailDir;  // from FASTECHO.CFG, for AddFastEchoNetmail
  bool tableFullWarned = false;
};

void ReadFastEchoConfig(std::string_view path, AreaReaderContext& context);
void ReadSquishConfig(std::string_view path, AreaReaderContext& context);
void ReadAreasBbs(std::string_view path, AreaReaderContext& context);
void ReadTerminateConfig(std::string_view path, AreaReaderContext& context);
// The AREA line: the raw line and the position right after the keyword.
void AddManualArea(std::string_view line, size_t position, AreaReaderContext& context);

void SortAreas(AreaTable& areas, SortAreasMode mode);
void AddFastEchoNetmail(AreaReaderContext& context);

// AREADEFS.CTL in ProgramDir: asks to write the default file when it is missing.
void ReadAreaDefinitions(const ProgramPaths& paths, AreaTable& areas, Console& console);
// Writes the default AREADEFS.CTL into ProgramDir (replacing any file of that name).
void WriteDefaultAreaDefinitions(const ProgramPaths& paths);

}  // namespace vm
