// The posting side of the command line: queueing the file of /Encode, and the send-queue run
// that /q, /Encode and the decoding modes end with.
#pragma once

#include "app/mode_arguments.h"
#include "app/run_context.h"

namespace vm {

// Adds the file of /Encode to the send queue.
void EnqueueFromCommandLine(RunContext& run, const EncodeRequest& request);
// Posts what the queue allows today, saving the queue after every section.
void ProcessSendQueue(RunContext& run);

}  // namespace vm
