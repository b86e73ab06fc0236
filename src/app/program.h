// The program's whole run: start-up, one mode, the normal end or an orderly stop.
#pragma once

#include "app/modes.h"
#include "app/run_context.h"

namespace vm {

// Runs the mode that the command line asks for, after the start-up; returns the exit code.
using ModeRunner = int (*)(RunContext& run);

// The whole run of the process, with the fatal signals reported. Returns the exit code. Tests
// that need a failure where a mode runs give their own mode runner.
int RunProgram(int argc, char** argv, ModeRunner runMode = Dispatch);

// The run on a prepared context (its console and command line set): start-up, the mode, and
// the handling of FatalExit and of failures nothing foresaw. Returns the exit code.
int Run(RunContext& run, ModeRunner runMode = Dispatch);

}  // namespace vm
