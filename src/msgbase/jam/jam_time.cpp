#include "msgbase/jam/jam_time.h"

#include <cstdio>

namespace vm::jam {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

// Two decimal digits at pos, or -1.
int TwoDigits(std::string_view text, size_t pos) {
  if (pos + 2 > text.size()) return -1;
  char a = text[pos];
  char b = text[pos + 1];
  if (a < '0' || a > '9' || b < '0' || b > '9') return -1;
  return (a - '0') * 10 + (b - '0');
}


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

std::string DateTextOf(const DateTime& t) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d-%02d-%02d", t.month % 100, t.day % 100,
                t.year % 100);
  return buffer;
}

std::string TimeTextOf(const DateTime& t) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d:%02d", t.hour % 100, t.minute % 100);
  return buffer;
}

std::optional<DateTime> ParseDateTimeTexts(std::string_view date, std::string_view time) {
  if (date.size() != 8 || date[2] != '-' || date[5] != '-') return std::nullopt;
  if (time.size() != 5 || time[2] != ':') return std::nullopt;
  DateTime t;
  t.month = TwoDigits(date, 0);
  t.day = TwoDigits(date, 3);
  int year = TwoDigits(date, 6);
  t.hour = TwoDigits(time, 0);
  t.minute = TwoDigits(time, 3);
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || year < 0) return std::nullopt;
  if (t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59) return std::nullopt;
  t.year = FullYearFromTwoDigits(year);
  t.second = 0;
  return t;
}

}  // namespace vm::jam
