#include "msgbase/jam/jam_time.h"

namespace vm::jam {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

}  // namespace

uint32_t JamTimeFrom(const DateTime& t) {
  int64_t seconds = DaysBetween(1970, 1, 1, t.year, t.month, t.day) * kSecondsPerDay +
                    t.hour * 3600 + t.minute * 60 + t.second;
  if (seconds < 0) return 0;
  if (seconds > 0xFFFFFFFFLL) return 0xFFFFFFFF;
  return static_cast<uint32_t>(seconds);
}

DateTime DateTimeFromJamTime(uint32_t seconds) {
  // Civil date from a day count (days since 1970-01-01), by 400-year eras.
  int64_t days = seconds / kSecondsPerDay;
  int64_t rest = seconds % kSecondsPerDay;
  days += 719468;
  int64_t era = days / 146097;
  int64_t dayOfEra = days - era * 146097;
  int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  DateTime t;
  t.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  t.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  t.year = static_cast<int>(yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0));
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

}  // namespace vm::jam
