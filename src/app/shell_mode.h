// The interactive modes: no argument, /Open, /Dir, /NoChange and /Queue.
#pragma once

#include <string>

#include "app/run_context.h"

namespace vm {

// Where the interactive shell starts.
struct ShellStart {
  std::string command;  // "", "OPEN", "DIR", "NOCHANGE" or "QUEUE"
  int openArea = 0;     // /Open: the area to scan and reply in
};

// Runs the send queue (except for /Queue), goes to the panel directory (except for
// /NoChange) and runs the shell until the user quits. Without a terminal on stdin and stdout
// the run stops with a message instead.
void RunShell(RunContext& run, const ShellStart& start);

}  // namespace vm
