#include "text/date_text.h"

#include <algorithm>

#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

const char* const kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

int TwoDigitsAt(std::string_view text, size_t at) {
  if (text.size() < at + 2) return -1;
  const char a = text[at];
  const char b = text[at + 1];
  if (a < '0' || a > '9' || b < '0' || b > '9') return -1;
  return (a - '0') * 10 + (b - '0');
}

// The FTSC field's positions are counted from 1: the characters from `from`, at most `count`
// of them (fewer, or none, past the end of the text).
std::string_view Copy(std::string_view text, size_t from, size_t count) {
  if (from < 1 || from > text.size()) return {};
  return text.substr(from - 1, count);
}

char At(std::string_view text, size_t position) {
  return position >= 1 && position <= text.size() ? text[position - 1] : '\0';
}

std::string MonthNumber(std::string_view name) {
  for (int m = 0; m < 12; ++m)
    if (EqualNoCaseCp866(name, kMonthNames[m]))
      return std::string(1, static_cast<char>('0' + (m + 1) / 10)) +
             static_cast<char>('0' + (m + 1) % 10);
  return "01";
}

// "MM-DD-YY" and "HH:MM" from the parts of a field, blanks read as zeros; nothing when a part
// was short.
std::optional<DateTimeTexts> TextsOf(std::string_view month, std::string_view day,
                                     std::string_view year, std::string_view time) {
  DateTimeTexts texts;
  texts.date.append(month).append(1, '-').append(day).append(1, '-').append(year);
  texts.time.append(time);
  if (texts.date.size() != 8 || texts.time.size() != 5) return std::nullopt;
  std::replace(texts.date.begin(), texts.date.end(), ' ', '0');
  std::replace(texts.time.begin(), texts.time.end(), ' ', '0');
  return texts;
}

}  // namespace

std::string TwoDigits(int value) {
  const int last = (value % 100 + 100) % 100;
  return {static_cast<char>('0' + last / 10), static_cast<char>('0' + last % 10)};
}

std::string DateTextOf(const DateTime& t) {
  return TwoDigits(t.month) + "-" + TwoDigits(t.day) + "-" + TwoDigits(t.year);
}

std::string TimeTextOf(const DateTime& t) { return TwoDigits(t.hour) + ":" + TwoDigits(t.minute); }

std::string TimeWithSecondsTextOf(const DateTime& t) {
  return TimeTextOf(t) + ":" + TwoDigits(t.second);
}

DateTimeFields ReadDateTimeTexts(std::string_view mmddyy, std::string_view hhmm) {
  return {TwoDigitsAt(mmddyy, 0), TwoDigitsAt(mmddyy, 3), TwoDigitsAt(mmddyy, 6),
          TwoDigitsAt(hhmm, 0), TwoDigitsAt(hhmm, 3)};
}

DateTime DateTimeFields::ToDateTime() const {
  auto known = [](int field) { return std::max(field, 0); };
  return {
      FullYearFromTwoDigits(known(yy)), known(month), known(day), known(hour), known(minute), 0};
}

std::optional<DateTimeTexts> ParseFtscDateField(std::string_view field) {
  const std::string_view s = field.substr(0, field.find('\0'));
  if (At(s, 3) == ' ') {
    // "01 Jan 99  12:30:00", or with a single blank before the time.
    return TextsOf(MonthNumber(Copy(s, 4, 3)), Copy(s, 1, 2), Copy(s, 8, 2),
                   At(s, 11) == ' ' ? Copy(s, 12, 5) : Copy(s, 11, 5));
  }
  if (At(s, 4) == ' ') {
    // "Tue  5 Jan 99 12:30": weekday first (SEAdog).
    return TextsOf(MonthNumber(Copy(s, 8, 3)), Copy(s, 5, 2), Copy(s, 12, 2), Copy(s, 15, 5));
  }
  if (At(s, 3) == '-') {
    // "01-06-1989 12:30": day, month number, four-digit year.
    return TextsOf(Copy(s, 4, 2), Copy(s, 1, 2), Copy(s, 9, 2), Copy(s, 12, 5));
  }
  return std::nullopt;
}

std::string FtscDateField(std::string_view mmddyy, std::string_view hhmm) {
  const int month = TwoDigitsAt(mmddyy, 0);
  std::string field;
  field.append(Copy(mmddyy, 4, 2)).append(1, ' ');
  field.append(month >= 1 && month <= 12 ? kMonthNames[month - 1] : "???").append(1, ' ');
  field.append(Copy(mmddyy, 7, 2)).append("  ").append(Copy(hhmm, 1, 5)).append(":00");
  return field;
}

}  // namespace vm
