// The date-time text at offset 144 of a *.MSG header, which every program writes a little
// differently, and the program's "MM-DD-YY" / "HH:MM" texts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vm {

struct DateTimeTexts {
  std::string date;  // "MM-DD-YY"
  std::string time;  // "HH:MM"
};

// Reads the field up to its first zero byte in the four known forms ("01 Jan 99  12:30:00",
// the same with one blank before the time, "Tue  5 Jan 99 12:30", "01-06-1989 12:30").
// Nothing when none applies or the result has the wrong length.
std::optional<DateTimeTexts> ParseFidoDateField(std::string_view field);

// "DD Mon YY  HH:MM:00" built from "MM-DD-YY" and "HH:MM" ("???" for a month outside 1-12).
std::string FormatFidoDateField(std::string_view mmddyy, std::string_view hhmm);

}  // namespace vm
