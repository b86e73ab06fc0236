// The run's directories, taken from the host at start-up.
#pragma once

#include "config/settings.h"

namespace vm {

// ProgramDir: $VELDMARK_HOME, else the executable's directory; TempDir: $TEMP, else the
// current directory; StartDir: the current directory. All three keep the host's case (they
// are real directories, not texts from the settings); relative values are taken from the
// current directory. ProgramDir and TempDir end in a separator.
ProgramPaths FindProgramPaths();

}  // namespace vm
