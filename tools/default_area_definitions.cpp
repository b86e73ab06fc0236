// A build tool: writes the default AREADEFS.CTL, the one the installation writes, into the
// directory given, so that the installed copy ships it as a file.
#include <cstdio>
#include <string>

#include "config/area_readers.h"
#include "platform/fatal.h"
#include "platform/host_path.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
    return 2;
  }
  vm::ProgramPaths paths;
  paths.ProgramDir = vm::ProgramPathFromHost(argv[1]) + "/";
  try {
    vm::WriteDefaultAreaDefinitions(paths);
  } catch (const vm::FatalStop&) {
    std::fprintf(stderr, "cannot write %s/AREADEFS.CTL\n", argv[1]);
    return 1;
  }
  return 0;
}
