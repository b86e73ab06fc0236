// The program's whole run: start-up, one mode, the normal end or an orderly stop.
#pragma once

#include "app/run_context.h"

namespace vm {

// Returns the process exit code.
int RunProgram(int argc, char** argv);

// The run on a prepared context (its console and command line set): start-up, dispatch, and
// the handling of FatalExit and of failures nothing foresaw. Returns the exit code.
int Run(RunContext& run);

}  // namespace vm
