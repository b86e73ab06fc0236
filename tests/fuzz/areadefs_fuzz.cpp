// libFuzzer entry point for AREADEFS.CTL: the input is the file, applied to a table of areas
// of every kind.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "config/area_readers.h"
#include "fuzz/fuzz_scratch.h"
#include "platform/fatal.h"
#include "platform/host_path.h"
#include "support/fake_console.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vm;
  fuzz::WriteScratchFile("AREADEFS.CTL",
                         std::string_view(reinterpret_cast<const char*>(data), size));
  ProgramPaths paths;
  paths.ProgramDir = ProgramPathFromHost(fuzz::Scratch().path()) + "/";
  AreaTable areas;
  for (auto [tag, id] : {std::pair{"NETMAIL", "FC:\\NETMAIL"},
                         {"RU.FILES", "SC:\\SQ\\RU.FILES"},
                         {"RU.UUE", "JC:\\JAM\\RU.UUE"},
                         {"LOCAL", "H12"}}) {
    AreaEntry entry;
    entry.tag = entry.displayName = tag;
    entry.areaId = id;
    areas.Append(entry);
  }
  FakeConsole console;
  try {
    ReadAreaDefinitions(paths, areas, console);
  } catch (const FatalStop&) {
  }
  return 0;
}
