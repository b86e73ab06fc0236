// libFuzzer entry point for the FASTECHO.CFG reader: parses the input as a whole file and puts
// its areas into a table.
#include <cstring>
#include <string_view>

#include "config/fastecho_config.h"
#include "support/fake_console.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  vm::FastEchoConfig config =
      vm::ParseFastEchoConfig(size, [bytes](uint64_t offset, void* buffer, size_t count) {
        if (offset >= bytes.size()) return size_t{0};
        size_t got = std::min<size_t>(count, bytes.size() - offset);
        std::memcpy(buffer, bytes.data() + offset, got);
        return got;
      });
  if (config.status != vm::FastEchoConfig::Status::Ok) return 0;
  vm::Settings settings;
  settings.USEID = size % 2 == 0;
  vm::AreaTable areas;
  vm::FakeConsole console;
  vm::AreaReaderContext context{settings, areas, console, 0, {}, false};
  vm::ApplyFastEchoConfig(config, context);
  settings.FASTECHOCFG = "X";
  vm::AddFastEchoNetmail(context);
  return 0;
}
