// The program's whole run: start-up, one mode, the normal end or an orderly stop.
#pragma once

namespace vm {

// Returns the process exit code.
int RunProgram(int argc, char** argv);

}  // namespace vm
