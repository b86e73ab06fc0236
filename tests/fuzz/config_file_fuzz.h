// What the entry points of the echo processors' text configurations share: the input written
// as the file in the scratch directory, read by the reader into a table of its own; a stop
// through FatalExit is an answer like any other.
#pragma once

#include <string_view>

#include "config/area_readers.h"
#include "fuzz/fuzz_scratch.h"
#include "platform/fatal.h"
#include "platform/host_path.h"
#include "support/fake_console.h"

namespace vm::fuzz {

inline void ReadConfigFile(std::string_view name, std::string_view bytes,
                           void (*reader)(std::string_view, AreaReaderContext&)) {
  const std::string path = ProgramPathFromHost(WriteScratchFile(name, bytes));
  Settings settings;
  AreaTable areas;
  FakeConsole console;
  AreaReaderContext context{settings, areas, console, 1, {}, false};
  try {
    reader(path, context);
    SortAreas(areas, SortAreasMode::Type);
  } catch (const FatalStop&) {
  }
}

}  // namespace vm::fuzz
