// The find-or-create rule shared by every area reader, with the defaults of each source.
#pragma once

#include <string>
#include <string_view>

#include "config/area_readers.h"

namespace vm {

enum class AreaSource { FastEcho, Squish, AreasBbs, Terminate, Manual };

// Finds the entry by tag (cut to the tag width) or creates it, then sets the area id and the
// fields its source gives every area it names, found again or new: display name = tag, empty
// address, netmail and exclude off, parallel sending, and the daily limit and history length
// of the source. Returns nullptr when the table is full; the first time that happens the user
// is warned.
AreaEntry* TakeArea(AreaReaderContext& context, std::string_view tag, std::string areaId,
                    AreaSource source);

// "H", the board number in three digits (0 to 999), then the Hudson base directory.
std::string HudsonAreaId(int board, std::string_view directory);

// Warns once per run that the table is full and further areas are left out.
void WarnTableFull(AreaReaderContext& context, std::string_view tag);

}  // namespace vm
