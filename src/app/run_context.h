// The run-wide state of one run of the program, owned by RunProgram and passed by reference.
#pragma once

#include <string>

#include "app/command_line.h"
#include "app/failure_report.h"
#include "config/area_table.h"
#include "config/settings.h"
#include "platform/console.h"
#include "platform/run_log.h"
#include "state/run_state.h"

namespace vm {

// Process exit codes.
enum ExitCode : int {
  kExitNormal = 0,     // normal end, usage text, /Debug
  kExitException = 1,  // an exception nothing handled
  kExitRunError = 2,   // a run-time error (a fatal signal, out of memory, an index out of range)
  kExitFatal = 3,      // FatalExit: an error must not look like success to cron or a hook
  // The run ended normally but did not do everything asked: an area it could not reach, a
  // section or file not posted, a file not written. The log says what.
  kExitIncomplete = 4,
};

// What the switches of the command line ask for.
struct RunFlags {
  bool decodeAnyway = false;  // -AnyWay: decode regardless of the duplicates history
  bool scanAll = false;       // -ScanAll: scan whole areas, not only new messages
};

struct RunContext {
  RunContext(Console& console, std::string programFile, CommandLine commandLine)
      : console(console),
        programFile(std::move(programFile)),
        commandLine(std::move(commandLine)) {}

  Console& console;
  std::string programFile;  // argument 0
  CommandLine commandLine;
  ProgramPaths paths;
  Settings settings;
  AreaTable areas;
  RunLog log;
  RunFlags flags;
  RunState state;  // what the state files keep between runs
  FailureReporter failures;
  int incomplete = 0;  // things asked for that the run could not do (exit code 4)
};

}  // namespace vm
