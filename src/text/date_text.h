// The date and time texts of message headers: the program's "MM-DD-YY" and "HH:MM" (two-digit
// years below 80 are 20YY, the others 19YY), and the FTSC-0001 date field of *.MSG and Squish
// headers, "DD Mon YY  HH:MM:SS", which every program writes a little differently.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/dos_time.h"

namespace vm {

inline int FullYearFromTwoDigits(int yy) { return yy < 80 ? 2000 + yy : 1900 + yy; }

// The last two decimal digits of a value, "00" to "99" (a negative value counts back from 100).
std::string TwoDigits(int value);
// "MM-DD-YY", "HH:MM" and "HH:MM:SS" of a date and time (the last two digits of the year).
std::string DateTextOf(const DateTime& t);
std::string TimeTextOf(const DateTime& t);
std::string TimeWithSecondsTextOf(const DateTime& t);

// The fields of "MM-DD-YY" and "HH:MM", each the two decimal digits at its place, or -1 when
// they are anything else or lie past the end of the text. Separators are not looked at.
struct DateTimeFields {
  int month = -1;
  int day = -1;
  int yy = -1;
  int hour = -1;
  int minute = -1;

  bool HasDate() const { return month >= 1 && month <= 12 && day >= 1 && day <= 31 && yy >= 0; }
  bool HasTime() const { return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59; }
  // Seconds 0; an unreadable field counts as 0 (a year of 00 is 2000), as the writers of
  // header dates have always taken it.
  DateTime ToDateTime() const;
};
DateTimeFields ReadDateTimeTexts(std::string_view mmddyy, std::string_view hhmm = {});

struct DateTimeTexts {
  std::string date;  // "MM-DD-YY"
  std::string time;  // "HH:MM"
};

// Reads the FTSC field up to its first zero byte in the four known forms ("01 Jan 99  12:30:00",
// the same with one blank before the time, "Tue  5 Jan 99 12:30", "01-06-1989 12:30"); an
// unknown month name counts as January, blanks in the numbers as zeros. Nothing when no form
// applies or the result has the wrong length.
std::optional<DateTimeTexts> ParseFtscDateField(std::string_view field);

// "DD Mon YY  HH:MM:00" built from "MM-DD-YY" and "HH:MM": the digits as given, "???" for a
// month outside 1-12.
std::string FtscDateField(std::string_view mmddyy, std::string_view hhmm);

}  // namespace vm
