// The run's directories, taken from the host at start-up.
#pragma once

#include <string>

#include "config/settings.h"
#include "platform/console.h"

namespace vm {

// ProgramDir: $VELDMARK_HOME, else the executable's directory, unless the program is an
// installed copy (it has a ShareDir) or may not write there: then ProgramDir stays empty and
// the run needs VELDMARK_HOME (RequireProgramDirectory). TempDir: $TEMP, else the current
// directory; StartDir: the current directory (the program never changes it). All keep the host's
// case (they are real directories, not texts from the settings); relative values are taken from the
// current directory. ProgramDir, TempDir, ExecutableDir and ShareDir end in a separator.
ProgramPaths FindProgramPaths();

// Stops the run with a message naming VELDMARK_HOME when there is no program directory.
void RequireProgramDirectory(const ProgramPaths& paths);

// An installed copy starting in a program directory without a message template: the example
// template of ShareDir is copied there, and the console says so.
void ProvideExampleTemplate(const ProgramPaths& paths, Console& console);

// Two lines naming the program directory and where it came from (for a file missing there).
std::string DescribeProgramDirectory(const ProgramPaths& paths);

}  // namespace vm
