// VELDMARK.CTL: the program's own settings file in ProgramDir, read once at start-up.
#pragma once

#include <cstddef>

#include "config/area_table.h"
#include "config/settings.h"
#include "platform/console.h"
#include "platform/run_log.h"

namespace vm {

// A settings file shorter than this is taken for a missing one.
inline constexpr size_t kShortestSettingsFile = 10;

// Reads ProgramDir + "veldmark.ctl" line by line into the settings; the area keywords read
// the echo processor's configurations into the area table as they are met. After the last
// line: the name and address checks, ROOT, TEMPPATH and HUDSONPATH are created (and the last
// two must then be directories that can be entered), REPORTAREA is looked up, AREADEFS.CTL is
// applied, the areas are sorted and FastEcho's netmail area is added.
//
// LOGPATH switches the log on; TEMP replaces paths.TempDir. A bad value stops the run through
// FatalExit ("VELDMARK.CTL строка N: Ошибка в параметре KEYWORD"); an unknown keyword is a
// warning (WarnAndWait) and reading goes on.
//
// Returns false, having read nothing, when the file is missing or shorter than 10 bytes: the
// installation writes a first one then. A file that is not a regular file, or larger than
// kMaxConfigText, stops the run (FatalExit).
bool ReadSettings(ProgramPaths& paths, Settings& settings, AreaTable& areas, RunLog& log,
                  Console& console);

}  // namespace vm
