// JAM dates: seconds since 1970-01-01 00:00 counted on the local clock (no time zone is
// applied, so the stored number reads back as the same wall-clock time anywhere).
#pragma once

#include <cstdint>

#include "text/dos_time.h"

namespace vm::jam {

uint32_t JamTimeFrom(const DateTime& local);
DateTime DateTimeFromJamTime(uint32_t seconds);

}  // namespace vm::jam
