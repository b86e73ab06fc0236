// JAM dates: seconds since 1970-01-01 00:00 counted on the local clock (no time zone is
// applied, so the stored number reads back as the same wall-clock time anywhere).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/dos_time.h"

namespace vm::jam {

uint32_t JamTimeFrom(const DateTime& local);
DateTime DateTimeFromJamTime(uint32_t seconds);

// "MM-DD-YY" and "HH:MM", two digits each.
std::string DateTextOf(const DateTime& t);
std::string TimeTextOf(const DateTime& t);

// The date and time of "MM-DD-YY" and "HH:MM" (seconds 0); nothing when either is malformed.
std::optional<DateTime> ParseDateTimeTexts(std::string_view date, std::string_view time);

}  // namespace vm::jam
