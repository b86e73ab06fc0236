// VELDMARK.DBG: every setting and per-area parameter, written by /Debug and by the failure
// reports.
#pragma once

#include <string>

#include "config/area_table.h"
#include "config/settings.h"

namespace vm {

// The listing as CP866 lines ending in CR LF.
std::string DebugListing(const ProgramPaths& paths, const Settings& settings,
                         const AreaTable& areas);

// Replaces ProgramDir + "VELDMARK.DBG" with the listing; errors are ignored.
void WriteDebugDump(const ProgramPaths& paths, const Settings& settings, const AreaTable& areas);

}  // namespace vm
