// Facts of the host: environment, clock, the program's own location.
#pragma once

#include <string>
#include <string_view>

#include "text/dos_time.h"

namespace vm {

std::string GetEnvironment(const char* name);  // raw bytes, empty when unset
DateTime LocalNow();
// The running executable's file (host path, UTF-8, symbolic links resolved); empty when the
// system does not tell.
std::string ExecutablePath();
// Directory of the running executable (host path, UTF-8), without trailing slash.
std::string ExecutableDirectory();
void SleepMilliseconds(int milliseconds);

}  // namespace vm
