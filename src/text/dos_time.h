// Calendar dates, packed DOS date/time values and day counts.
#pragma once

#include <cstdint>

namespace vm {

struct DateTime {
  int year = 1980;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Packed DOS form: date word (year-1980)*512 + month*32 + day in the high 16 bits, time word
// hour*2048 + minute*32 + second/2 in the low 16 bits. Years outside 1980-2107 are clamped.
uint32_t PackDosDateTime(const DateTime& t);
DateTime UnpackDosDateTime(uint32_t packed);
uint16_t PackDosDate(int year, int month, int day);
uint16_t PackDosTime(int hour, int minute, int second);

// Days from the first date to the second in the Gregorian calendar (negative when the second
// date is earlier).
int64_t DaysBetween(int year1, int month1, int day1, int year2, int month2, int day2);

}  // namespace vm
