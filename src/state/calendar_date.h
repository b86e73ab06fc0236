// A calendar date as the state files keep it (the time of day plays no part there).
#pragma once

#include <cstdint>

#include "text/dos_time.h"

namespace vm {

struct CalendarDate {
  int year = 0;  // with century; 0 0 0 when never set
  int month = 0;
  int day = 0;

  friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

inline CalendarDate DateOf(const DateTime& t) { return {t.year, t.month, t.day}; }

// Days from the first date to the second (negative when the second is earlier).
inline int64_t DaysFromTo(const CalendarDate& from, const CalendarDate& to) {
  return DaysBetween(from.year, from.month, from.day, to.year, to.month, to.day);
}

}  // namespace vm
