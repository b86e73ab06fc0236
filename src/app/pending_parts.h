// The parts of the program that are not in this build yet: the send queue and the interactive
// shell. Each is replaced by the real function when that part is built.
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

// With an empty queue nothing to do; with entries one line that posting is not in this build,
// the queue kept as it is for a build that has it. Every mode that ends with it reaches the
// normal end.
void ProcessQueue(RunContext& run);
// These stop the run with a message that they are not in this build.
void EnqueueFile(RunContext& run, const EncodeRequest& request);
void RunShell(RunContext& run, const ShellStart& start);

}  // namespace vm
