#include "state/areas_list.h"

namespace vm {
namespace {

constexpr const char* kFileName = "areas.lst";
constexpr const char* kLabel = "AREAS.LST";
// Two short lines per area of the table: well under a megabyte.
constexpr StateFileKind kFileKind{kLabel, kAreasListHeader, size_t{16} << 20};

// The values are 32-bit fields written as signed numbers; a value written unsigned is taken
// modulo 2^32 as well.
uint32_t Field(int64_t value) { return static_cast<uint32_t>(value); }

std::string Signed(uint32_t value) { return std::to_string(static_cast<int32_t>(value)); }

}  // namespace

void ResetAreaParameters(AreaTable& areas) {
  for (int i = 1; i <= areas.Count(); ++i) {
    AreaEntry& area = areas.At(i);
    area.ResumeMessage = 0;
    area.ResumeCheck = 0;
    area.SectionsLeftToday = area.SectionsPerDay;
  }
}

void ParseAreaParameters(const std::vector<std::string>& lines, AreaTable& areas,
                         DroppedLines& dropped) {
  size_t i = 0;
  while (i < lines.size() && !OnlyBlankLinesFrom(lines, i)) {
    // The numbers follow the id; blank lines before them are passed over.
    size_t numbersLine = i + 1;
    while (numbersLine < lines.size() && IsBlankLine(lines[numbersLine])) ++numbersLine;
    std::optional<std::vector<int64_t>> n;
    if (numbersLine < lines.size())
      n = ParseNumberLine(lines[numbersLine], 3, kInt32Min, kUint32Max);
    if (!n) {
      // Not an entry here: skip one line so that the entry after a lost or extra line is
      // found again.
      dropped.Drop(i + 2);
      ++i;
      continue;
    }
    const std::string& areaId = lines[i];
    int index = areaId.empty() ? 0 : areas.FindAreaByAreaId(areaId);
    if (index != 0) {
      AreaEntry& area = areas.At(index);
      area.SectionsLeftToday = Field((*n)[0]);
      area.ResumeMessage = Field((*n)[1]);
      area.ResumeCheck = Field((*n)[2]);
    }
    i = numbersLine + 1;
  }
}

std::string FormatAreaParameters(const AreaTable& areas) {
  std::string out;
  AppendStateLine(out, kAreasListHeader);
  for (int i = 1; i <= areas.Count(); ++i) {
    const AreaEntry& area = areas.At(i);
    AppendStateLine(out, area.areaId);
    AppendStateLine(out, Signed(area.SectionsLeftToday) + ' ' + Signed(area.ResumeMessage) + ' ' +
                             Signed(area.ResumeCheck));
  }
  return out;
}

void LoadAreaParameters(const ProgramPaths& paths, AreaTable& areas, const RunLog& log) {
  ResetAreaParameters(areas);
  StateFileText text = ReadStateFile(paths.ProgramDir + kFileName, kFileKind, log);
  DroppedLines dropped(kLabel);
  ParseAreaParameters(text.lines, areas, dropped);
  dropped.WriteTo(log);
}

void SaveAreaParameters(const ProgramPaths& paths, const AreaTable& areas) {
  WriteStateFile(paths.ProgramDir + kFileName, FormatAreaParameters(areas), kLabel);
}

}  // namespace vm
