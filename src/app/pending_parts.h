// The parts of the program that are not in this build yet: the installation and the
// interactive shell. Each is replaced by the real function when that part is built.
#pragma once

#include <string>

#include "app/mode_arguments.h"
#include "app/run_context.h"

namespace vm {

// Where the interactive shell starts.
struct ShellStart {
  std::string command;  // "", "OPEN", "DIR", "NOCHANGE" or "QUEUE"
  int openArea = 0;     // /Open: the area to scan and reply in
};

// Writes a first VELDMARK.CTL; ends the run.
[[noreturn]] void Install(RunContext& run, bool manual);
// Stops the run with a message that the shell is not in this build.
void RunShell(RunContext& run, const ShellStart& start);

}  // namespace vm
