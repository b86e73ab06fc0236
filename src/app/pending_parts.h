// The part of the program that is not in this build yet: the interactive shell. It is
// replaced by the real function when that part is built.
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

// Stops the run with a message that the shell is not in this build.
void RunShell(RunContext& run, const ShellStart& start);

}  // namespace vm
