// libFuzzer entry point for AREAS.BBS: the input is the file, its areas read into a table.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/config_file_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vm::fuzz::ReadConfigFile("AREAS.BBS", {reinterpret_cast<const char*>(data), size},
                           vm::ReadAreasBbs);
  return 0;
}
