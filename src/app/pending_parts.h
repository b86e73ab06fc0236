// The parts of the program that are not in this build yet: the send queue, decoding, the
// installation and the interactive shell. Each stops the run with a message that says so;
// each is replaced by the real function when that part is built.
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

void ProcessQueue(RunContext& run);
// /All: the work directory, the report and every area not excluded.
void DecodeAllAreas(RunContext& run);
// /Decode: the work directory, the report and that one area.
void DecodeOneArea(RunContext& run, int area);
void EnqueueFile(RunContext& run, const EncodeRequest& request);
// Writes a first VELDMARK.CTL; ends the run.
[[noreturn]] void Install(RunContext& run, bool manual);
void RunShell(RunContext& run, const ShellStart& start);

}  // namespace vm
