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

// Runs the send queue (except for /Queue) and runs the shell, its directory panel in the
// directory the last run ended in (except for /NoChange), until the user quits. Without a terminal
// on stdin and stdout the run stops with a message instead.
void RunShell(RunContext& run, const ShellStart& start);

}  // namespace vm
