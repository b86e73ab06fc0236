// AREAS.LST: per area, by AreaId, the sections still allowed today and where the next
// command-line scan resumes with the check value of that message.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/area_table.h"
#include "config/settings.h"
#include "platform/run_log.h"
#include "state/state_text.h"

namespace vm {

inline constexpr std::string_view kAreasListHeader = "Veldmark area parameters file version 1";

// Every area: no resume point, the full daily allowance.
void ResetAreaParameters(AreaTable& areas);
// Applies the entries of the lines after the header to the areas they name (AreaId without
// regard to case); entries of unknown areas are dropped, unreadable lines skipped and noted.
void ParseAreaParameters(const std::vector<std::string>& lines, AreaTable& areas,
                         DroppedLines& dropped);
std::string FormatAreaParameters(const AreaTable& areas);

void LoadAreaParameters(const ProgramPaths& paths, AreaTable& areas, const RunLog& log);
// FatalExit "Не могу записать файл AREAS.LST" when the file cannot be written.
void SaveAreaParameters(const ProgramPaths& paths, const AreaTable& areas);

}  // namespace vm
