// Placeholder until the area readers are built: no source adds areas.
#include "config/area_readers.h"

namespace vm {

void ReadFastEchoConfig(std::string_view, AreaReaderContext&) {}
void ReadSquishConfig(std::string_view, AreaReaderContext&) {}
void ReadAreasBbs(std::string_view, AreaReaderContext&) {}
void ReadTerminateConfig(std::string_view, AreaReaderContext&) {}
void AddManualArea(std::string_view, size_t, AreaReaderContext&) {}
void SortAreas(AreaTable&, SortAreasMode) {}
void AddFastEchoNetmail(AreaReaderContext&) {}
void ReadAreaDefinitions(const ProgramPaths&, AreaTable&, Console&) {}
int AreaTable::FindArea(std::string_view) const { return 0; }
int AreaTable::FindAreaByAreaId(std::string_view) const { return 0; }
int AreaTable::FindOrCreate(std::string_view) { return 0; }
int AreaTable::Append(AreaEntry) { return 0; }
void AreaTable::Swap(int, int) {}

}  // namespace vm
