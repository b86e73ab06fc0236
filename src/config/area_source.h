// The find-or-create rule shared by every area reader, with the defaults of each source.
#pragma once

#include <string>
#include <string_view>

#include "config/area_readers.h"

namespace vm {

enum class AreaSource { FastEcho, Squish, AreasBbs, Terminate, Manual };

// What a reader learned of one area from its source. The texts are views that need to live
// only until TakeArea returns.
struct FoundArea {
  std::string_view tag;
  std::string_view areaId;
  std::string_view displayName;  // empty: the tag
  NetAddress address;            // empty: the main ADDRESS
  uint8_t netmail = 0;
};

// Finds the entry by the area's tag (cut to the tag width here) or creates it. The entry takes
// what the reader found (the display name cut to its width) and the rest of the source's row of
// defaults: exclude off, parallel sending, and the daily limit and history length of the
// source. An entry found again keeps its own tag, its file routes and its resume point.
// Returns false when the table is full; the first time that happens the user is warned.
bool TakeArea(AreaReaderContext& context, const FoundArea& area, AreaSource source);

// Warns once per run that the table is full and further areas are left out.
void WarnTableFull(AreaReaderContext& context, std::string_view tag);

}  // namespace vm
