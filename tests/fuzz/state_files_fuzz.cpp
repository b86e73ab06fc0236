// libFuzzer entry point for the state file readers: the lines after the header of QUEUE.LST,
// VELDMARK.DUP and AREAS.LST (the first input byte picks the reader).
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "state/areas_list.h"
#include "state/dup_file.h"
#include "state/queue_file.h"
#include "support/fake_console.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vm;
  if (size == 0) return 0;
  std::vector<std::string> lines =
      SplitStateLines(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  DroppedLines dropped("FUZZ");
  switch (data[0] % 3) {
    case 0: {
      Settings settings;
      FakeConsole console;
      RunState state;
      ParseQueue(lines, state, QueueContext{settings, console, {}}, dropped);
      FormatQueue(state);
      break;
    }
    case 1: {
      HistoryList history;
      ParseDuplicates(lines, history, CalendarDate{2024, 3, 15}, dropped);
      break;
    }
    case 2: {
      AreaTable areas;
      for (const char* id : {"FC:\\A", "SC:\\B", "fc:\\a"}) {
        AreaEntry entry;
        entry.tag = id;
        entry.areaId = id;
        areas.Append(entry);
      }
      ParseAreaParameters(lines, areas, dropped);
      FormatAreaParameters(areas);
      break;
    }
  }
  return 0;
}
