// libFuzzer entry point for the VELDMARK.CTL reader: the input is the settings file, read with
// everything that follows its last line (the checks, the directories it creates, AREADEFS.CTL,
// the area sort).
//
// The reader creates the directories the file names and opens its log file, so the input's
// paths are kept inside the scratch directory: path separators become '_' and ".." becomes
// "._", every drive letter maps to the scratch directory, and so does the current directory.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "config/settings_reader.h"
#include "fuzz/fuzz_scratch.h"
#include "platform/fatal.h"
#include "platform/host_path.h"
#include "support/fake_console.h"

namespace {

std::string ConfinedPaths(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '/' || text[i] == '\\') text[i] = '_';
    if (text[i] == '.' && i > 0 && text[i - 1] == '.') text[i] = '_';
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const std::string& scratch = vm::fuzz::Scratch().path();
  for (char drive = 'A'; drive <= 'Z'; ++drive)
    setenv((std::string("VELDMARK_DRIVE_") + drive).c_str(), scratch.c_str(), 1);
  if (chdir(scratch.c_str()) != 0) abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vm;
  const std::string& scratch = fuzz::Scratch().path();
  fuzz::WriteScratchFile("veldmark.ctl", ConfinedPaths(data, size));
  ProgramPaths paths;
  paths.ProgramDir = ProgramPathFromHost(scratch) + "/";
  paths.StartDir = ProgramPathFromHost(scratch);
  paths.TempDir = paths.ProgramDir;
  Settings settings;
  AreaTable areas;
  RunLog log;
  FakeConsole console;
  try {
    ReadSettings(paths, settings, areas, log, console);
  } catch (const FatalStop&) {
  }
  return 0;
}
