// The find-or-create rule shared by every area reader, with the defaults of each source.
#pragma once

#include <string>
#include <string_view>

#include "config/area_readers.h"

namespace vm {

enum class AreaSource { FastEcho, Squish, AreasBbs, Terminate, Manual };

// Finds the entry by the area's tag (cut to the tag width here) or creates it. The reader sets
// what its source says of the area: the tag, the area id, the display name (left empty: the
// tag), the address and the netmail flag; the rest of the source's row of defaults is set
// here: exclude off, parallel sending, and the daily limit and history length of the source.
// An entry found again takes these fields and keeps the others. Returns false when the table
// is full; the first time that happens the user is warned.
bool TakeArea(AreaReaderContext& context, AreaEntry&& area, AreaSource source);

// "H", the board number in three digits (0 to 999), then the Hudson base directory.
std::string HudsonAreaId(int board, std::string_view directory);

// Warns once per run that the table is full and further areas are left out.
void WarnTableFull(AreaReaderContext& context, std::string_view tag);

}  // namespace vm
