// libFuzzer entry point for Terminate's configuration: the input is TM.CFG and, after the
// first 0x00 byte, the area file AREAS.TM beside it (which TM.CFG names with AREAFILE).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/config_file_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\0');
  vm::fuzz::WriteScratchFile("AREAS.TM", split == input.npos ? "" : input.substr(split + 1));
  vm::fuzz::ReadConfigFile("TM.CFG", input.substr(0, split), vm::ReadTerminateConfig);
  return 0;
}
