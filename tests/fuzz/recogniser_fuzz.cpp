// libFuzzer entry point for the section header recogniser and the area scan: the input is
// the text of two messages (split at the first 0x00 byte), scanned as an area.
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/area_table.h"
#include "config/settings.h"
#include "decode/area_scan.h"
#include "decode/memory_base.h"
#include "platform/run_log.h"
#include "support/fake_console.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vm;
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\0');
  MemoryBase base;
  base.Add({}).text = input.substr(0, split);
  if (split != std::string::npos) base.Add({}).text = input.substr(split + 1);

  Settings settings;
  settings.HEADERLINES = size % 2 ? 2147483647 : 40;
  settings.EXTRACTXCK = size % 3 == 0;
  DecodeRunState state;
  FakeConsole console;
  RunLog log;
  AreaEntry area;
  FoundFileCatalogue catalogue;
  DecodeSession session{settings, state, console, log, nullptr};
  ScanArea(session, base, area, catalogue, ScanOptions{1, false, ""});
  for (int i = 2; i <= catalogue.Count(); ++i) {
    const FoundFile& file = catalogue.At(i);
    if (file.SlotCount() > FoundFile::kMaxSections || file.key.size() > 64) __builtin_trap();
  }
  return 0;
}
