#include "text/dos_time.h"

#include <algorithm>

namespace vm {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's civil algorithm).
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

uint16_t PackDosDate(int year, int month, int day) {
  int y = std::clamp(year - 1980, 0, 127);
  return static_cast<uint16_t>((y << 9) | ((month & 15) << 5) | (day & 31));
}

uint16_t PackDosTime(int hour, int minute, int second) {
  return static_cast<uint16_t>(((hour & 31) << 11) | ((minute & 63) << 5) | ((second / 2) & 31));
}

uint32_t PackDosDateTime(const DateTime& t) {
  return (static_cast<uint32_t>(PackDosDate(t.year, t.month, t.day)) << 16) |
         PackDosTime(t.hour, t.minute, t.second);
}

DateTime UnpackDosDateTime(uint32_t packed) {
  DateTime t;
  uint16_t date = static_cast<uint16_t>(packed >> 16);
  uint16_t time = static_cast<uint16_t>(packed & 0xFFFF);
  t.year = 1980 + (date >> 9);
  t.month = (date >> 5) & 15;
  t.day = date & 31;
  t.hour = time >> 11;
  t.minute = (time >> 5) & 63;
  t.second = (time & 31) * 2;
  return t;
}

int64_t DaysBetween(int year1, int month1, int day1, int year2, int month2, int day2) {
  return DaysFromCivil(year2, month2, day2) - DaysFromCivil(year1, month1, day1);
}

}  // namespace vm
