// The macros of message templates: "%" + name + one delimiter character is replaced by its
// value; SBAR and RANDOM take further parameters from the text after them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vm {

struct MacroValues {
  std::string toName;       // TONAME: the default recipient
  std::string origAddress;  // ORIGADDR
  std::string name;         // NAME: the posted name
  std::string subject;      // SUBJ: the entry's subject (may be empty)
  std::string length;       // LENGTH: the file size
  std::string linesPerSection;
  std::string dateTime;  // DATETIME: the file's time, "MM-DD-YY в HH:MM:SS"
  int32_t number = 0;    // CURRENT
  int32_t total = 0;     // TOTAL
  // RANDOM: a line of the named file; empty when there is none to give.
  std::function<std::string(std::string_view fileName)> randomLine;
};

// The text of DATETIME.
std::string MacroDateTime(int month, int day, int year, int hour, int minute, int second);

// Replaces every macro of the line, searching again from the start after each (a value that
// holds "%" is expanded in turn, up to a bound that keeps a value naming itself from looping).
// An unknown name is removed with its "%" and its delimiter. The line is cut at 255.
void ExpandMacros(std::string& line, const MacroValues& values);

}  // namespace vm
