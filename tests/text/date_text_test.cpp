// The message date texts: what each reader of "MM-DD-YY" / "HH:MM" makes of well-formed and
// damaged texts, and the FTSC date field built from them.
#include "text/date_text.h"

#include <gtest/gtest.h>

#include <array>

namespace vm {
namespace {

TEST(DateTextTest, FieldsOfTheProgramsTexts) {
  struct Case {
    const char* date;
    const char* time;
    bool hasDate, hasTime;
    DateTime written;  // what a header writer stores
  } cases[] = {
      {"12-31-99", "07:05", true, true, {1999, 12, 31, 7, 5, 0}},
      {"01-02-03", "04:05", true, true, {2003, 1, 2, 4, 5, 0}},
      {"02-29-80", "23:59", true, true, {1980, 2, 29, 23, 59, 0}},
      {"12-31-79", "00:00", true, true, {2079, 12, 31, 0, 0, 0}},    // below 80: this century
      {"01/15/26", "12.30", true, true, {2026, 1, 15, 12, 30, 0}},   // separators not looked at
      {"13-01-24", "24:00", false, false, {2024, 13, 1, 24, 0, 0}},  // out of range: kept
      {"00-32-24", "12:60", false, false, {2024, 0, 32, 12, 60, 0}},
      {"1-1-2024", "1:05", false, false, {2024, 0, 0, 0, 0, 0}},  // one digit reads as nothing
      {"+1-15-26", " 9:05", false, false, {2026, 0, 15, 0, 5, 0}},
      {"01-15", "", false, false, {2000, 1, 15, 0, 0, 0}},  // short texts: the rest is 0
      {"", "", false, false, {2000, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    const DateTimeFields fields = ReadDateTimeTexts(c.date, c.time);
    EXPECT_EQ(fields.HasDate(), c.hasDate) << c.date;
    EXPECT_EQ(fields.HasTime(), c.hasTime) << c.time;
    const DateTime t = fields.ToDateTime();
    EXPECT_EQ((std::array{t.year, t.month, t.day, t.hour, t.minute, t.second}),
              (std::array{c.written.year, c.written.month, c.written.day, c.written.hour,
                          c.written.minute, 0}))
        << c.date << " " << c.time;
  }
}

TEST(DateTextTest, TextsOfADateRoundTrip) {
  for (const DateTime& t : {DateTime{1999, 12, 31, 23, 59, 58}, DateTime{2079, 1, 2, 3, 4, 5},
                            DateTime{1980, 2, 29, 0, 0, 0}}) {
    const DateTime back = ReadDateTimeTexts(DateTextOf(t), TimeTextOf(t)).ToDateTime();
    EXPECT_EQ((std::array{back.year, back.month, back.day, back.hour, back.minute}),
              (std::array{t.year, t.month, t.day, t.hour, t.minute}));
  }
  EXPECT_EQ(DateTextOf({2106, 2, 7, 6, 28, 15}), "02-07-06");
  EXPECT_EQ(TimeTextOf({2106, 2, 7, 6, 28, 15}), "06:28");
}

TEST(DateTextTest, FtscFieldBuiltFromTheTexts) {
  struct Case {
    const char* date;
    const char* time;
    const char* field;
  } cases[] = {
      {"03-14-24", "15:09", "14 Mar 24  15:09:00"},
      {"12-31-99", "23:59", "31 Dec 99  23:59:00"},
      {"13-14-24", "15:09", "14 ??? 24  15:09:00"},  // no such month
      {"1-14-24", "15:09", "4- ??? 4  15:09:00"},    // the digits as given, even misplaced
      {"", "", " ???   :00"},
  };
  for (const Case& c : cases) EXPECT_EQ(FtscDateField(c.date, c.time), c.field) << c.date;
}

}  // namespace
}  // namespace vm
