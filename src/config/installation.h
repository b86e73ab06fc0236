// The installation: a first VELDMARK.CTL, commented so that it documents every keyword, and the
// default AREADEFS.CTL. It asks for the sysop's name, address and directory for decoded files,
// searches the current drive for the echo processor's configuration, GoldEd and a Hudson base,
// and can add an entry to GoldEd's configuration. It runs on the plain console.
#pragma once

#include <string>

#include "config/settings.h"
#include "platform/console.h"
#include "platform/drive_walk.h"

namespace vm {

struct InstallRequest {
  bool manual = false;      // -Manual: no questions, no search; placeholders for name and address
  bool goldEdOnly = false;  // -GoldEd: only the GoldEd entry, no settings file
  std::string programFile;  // this program's file (program path), for GoldEd's ExternUtil line
  HostDrive drive;          // where the search looks: the start directory's drive
};

// Runs the installation; the caller then ends the run with exit code 0.
// A VELDMARK.CTL or AREADEFS.CTL that is replaced is kept as VELDMARK.BAK or AREADEFS.BAK
// first. Stops through FatalExit when ProgramDir cannot be written, and when a typed answer is
// cancelled (Esc, or the end of piped input) before the files are written.
void Install(const InstallRequest& request, const ProgramPaths& paths, Console& console);

}  // namespace vm
