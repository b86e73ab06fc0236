// The unattended decoding modes: /All over every area not excluded, /Decode over one area.
#pragma once

#include "app/run_context.h"

namespace vm {

// /All: the work directory, the report and every area not excluded.
void DecodeAllAreas(RunContext& run);
// /Decode: the work directory, the report and that one area (excluded or not).
void DecodeOneArea(RunContext& run, int area);

}  // namespace vm
