#include "text/dos_time.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

bool Same(const DateTime& a, const DateTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
         a.minute == b.minute && a.second == b.second;
}

TEST(DosTime, PackedFields) {
  // (2024-1980)*512 + 5*32 + 17 and 13*2048 + 45*32 + 58/2.
  uint32_t packed = PackDosDateTime({2024, 5, 17, 13, 45, 58});
  EXPECT_EQ(packed >> 16, 44u * 512 + 5 * 32 + 17);
  EXPECT_EQ(packed & 0xFFFF, 13u * 2048 + 45 * 32 + 29);
  EXPECT_EQ(PackDosDate(1980, 1, 1), 33);
  EXPECT_EQ(PackDosTime(23, 59, 59), 23 * 2048 + 59 * 32 + 29);
}

TEST(DosTime, RoundTripKeepsEvenSeconds) {
  for (DateTime t : {DateTime{1980, 1, 1, 0, 0, 0}, DateTime{2107, 12, 31, 23, 59, 58},
                     DateTime{2000, 2, 29, 12, 30, 14}})
    EXPECT_TRUE(Same(UnpackDosDateTime(PackDosDateTime(t)), t));
  DateTime odd = UnpackDosDateTime(PackDosDateTime({2001, 1, 1, 1, 1, 1}));
  EXPECT_EQ(odd.second, 0);
}

TEST(DosTime, YearsOutsideTheRangeAreClamped) {
  EXPECT_EQ(UnpackDosDateTime(PackDosDateTime({1975, 6, 1, 0, 0, 0})).year, 1980);
  EXPECT_EQ(UnpackDosDateTime(PackDosDateTime({2200, 6, 1, 0, 0, 0})).year, 2107);
  EXPECT_EQ(UnpackDosDateTime(PackDosDateTime({2200, 6, 1, 0, 0, 0})).month, 6);
}

TEST(DosTime, AnyPackedValueUnpacksWithoutHarm) {
  DateTime t = UnpackDosDateTime(0xFFFFFFFFu);
  EXPECT_EQ(t.year, 2107);
  EXPECT_EQ(t.month, 15);  // a broken value stays visible, not "corrected"
  EXPECT_EQ(t.second, 62);
}

TEST(DaysBetween, CountsOnTheGregorianCalendar) {
  EXPECT_EQ(DaysBetween(2024, 2, 28, 2024, 3, 1), 2);  // leap year
  EXPECT_EQ(DaysBetween(2023, 2, 28, 2023, 3, 1), 1);
  EXPECT_EQ(DaysBetween(1900, 3, 1, 2000, 3, 1), 36525);  // 1900 no leap year, 2000 one
  EXPECT_EQ(DaysBetween(2107, 12, 31, 1980, 1, 1), -46750);
  EXPECT_EQ(DaysBetween(2024, 12, 31, 2025, 1, 1), 1);
  EXPECT_EQ(DaysBetween(2025, 1, 1, 2025, 1, 1), 0);
}

}  // namespace
}  // namespace vm
