// The command-line modes, the normal end and the orderly stop.
#pragma once

#include <string_view>

#include "app/run_context.h"

namespace vm {

// Runs the mode the command word names (a usage request has been answered before) and
// returns the exit code. An unknown command word stops with "Неизвестный параметр: ".
int Dispatch(RunContext& run);

// The installation (-Manual: without questions), from /Install or because the settings file is
// missing. Nothing is saved.
int RunInstallation(RunContext& run, bool manual);

// The usage text or a command's detailed help; nothing is saved.
int RunUsage(RunContext& run);

// Saves the state files and logs "Нормальный выход". The exit code is 4
// when the run could not do everything asked (RunContext::incomplete), else 0.
int NormalEnd(RunContext& run);

// Logs "Выход по ошибке: "message"", prints the message and the hint
// lines and waits for a key (which never blocks an unattended run). Nothing is saved.
int StopWithMessage(RunContext& run, std::string_view message, int exitCode,
                    std::string_view hint = {});

}  // namespace vm
