// Reports of failures nothing foresaw: VELDMARK.DBG gets the listing and what went wrong,
// and the console asks the user to send the file. The reporters never throw.
#pragma once

#include <string_view>

#include "app/run_context.h"

namespace vm {

// An exception nothing handled: the listing, an "Exception info" block with its message,
// the console request, then a key wait. The caller exits with kExitException.
void ReportException(RunContext& run, std::string_view message);

// A run-time error (the runtime library's out-of-memory or range failure, given by its error
// code): the listing, an error line and the command line, the console request, and no key
// wait. The caller exits with kExitRunError.
void ReportRunError(RunContext& run, int errorCode, std::string_view what);

}  // namespace vm
