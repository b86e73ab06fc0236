// The duplicates history as unattended decoding asks it: posting dates across the century,
// the history window, refreshing, and entries left by older runs.
#include <gtest/gtest.h>

#include "config/area_table.h"
#include "decode/history_check.h"

namespace vm {
namespace {

const CalendarDate kToday{2026, 3, 20};

HistoryPosting Posting(const std::string& date, const std::string& name = "PACK.ZIP") {
  return HistoryPosting{date, EncodingKind::Uu, 3, "RU.FILES", name};
}

// What a run does with one posting: ask, and record it when decoded.
bool Check(HistoryList& history, const HistoryPosting& posting, uint32_t days) {
  const bool isNew = IsNewPosting(history, posting, days, kToday);
  if (isNew) RememberPosting(history, posting, days, kToday);
  return isNew;
}

TEST(UnattendedHistory, TwoDigitYearsPivotAtEighty) {
  EXPECT_EQ(PostingDate("01-15-26", kToday), (CalendarDate{2026, 1, 15}));
  EXPECT_EQ(PostingDate("12-31-79", kToday), (CalendarDate{2079, 12, 31}));
  EXPECT_EQ(PostingDate("12-31-99", kToday), (CalendarDate{1999, 12, 31}));
  EXPECT_EQ(PostingDate("02-29-80", kToday), (CalendarDate{1980, 2, 29}));
  // Whatever a broken header holds, the posting is dated, not rejected or misread.
  for (const char* bad : {"", "1-5-26", "13-01-26", "00-10-26", "01-32-26", "ab-cd-ef", "01-15"})
    EXPECT_EQ(PostingDate(bad, kToday), kToday) << bad;
}

TEST(UnattendedHistory, RepostingWithinTheWindowIsSkippedAfterItDecodesAgain) {
  HistoryList history;
  ASSERT_TRUE(Check(history, Posting("01-01-26"), 30));
  ASSERT_EQ(history.size(), 1u);
  EXPECT_EQ(history[0].posted, (CalendarDate{2026, 1, 1}));
  EXPECT_EQ(history[0].decoded, kToday);
  EXPECT_EQ(history[0].fileName, "PACK.ZIP");
  EXPECT_EQ(history[0].areaName, "RU.FILES");

  EXPECT_FALSE(Check(history, Posting("01-11-26", "pack.zip"), 30));  // 10 days, any case
  EXPECT_FALSE(Check(history, Posting("01-31-26"), 30));              // 30 days: still inside
  EXPECT_TRUE(Check(history, Posting("02-01-26"), 30));               // 31 days
  ASSERT_EQ(history.size(), 1u);
  EXPECT_EQ(history[0].posted, (CalendarDate{2026, 2, 1}));  // the window starts again
  EXPECT_EQ(history[0].decoded, kToday);
  EXPECT_FALSE(Check(history, Posting("02-20-26"), 30));
}

TEST(UnattendedHistory, ZeroDaysAlwaysDecodesAndInfiniteNever) {
  HistoryList history;
  EXPECT_TRUE(Check(history, Posting("01-01-26"), 0));
  EXPECT_TRUE(Check(history, Posting("01-01-26"), 0));
  EXPECT_EQ(history.size(), 1u);
  EXPECT_FALSE(Check(history, Posting("01-01-26"), kUnlimited));
  EXPECT_FALSE(Check(history, Posting("01-01-79"), kUnlimited));
}

TEST(UnattendedHistory, EntryWithTheOldCenturyCountsAsOld) {
  // Earlier runs stored 2026 as 1926; such an entry is simply far in the past.
  HistoryList history;
  HistoryEntry old;
  old.fileName = "PACK.ZIP";
  old.areaName = "RU.FILES";
  old.totalSections = 3;
  old.posted = {1926, 1, 1};
  old.decoded = {2026, 1, 1};
  old.kind = static_cast<uint8_t>(EncodingKind::Uu);
  AddHistoryEntry(history, old);
  EXPECT_TRUE(Check(history, Posting("01-02-26"), 30));
  EXPECT_EQ(history[0].posted, (CalendarDate{2026, 1, 2}));
  EXPECT_EQ(history[0].decoded, (CalendarDate{2026, 1, 1}));
}

TEST(UnattendedHistory, OtherKindTotalOrAreaIsAnotherFile) {
  HistoryList history;
  ASSERT_TRUE(Check(history, Posting("01-01-26"), 30));
  HistoryPosting xx = Posting("01-02-26");
  xx.kind = EncodingKind::Xx;
  HistoryPosting four = Posting("01-02-26");
  four.total = 4;
  HistoryPosting elsewhere = Posting("01-02-26");
  elsewhere.areaName = "RU.OTHER";
  EXPECT_TRUE(Check(history, xx, 30));
  EXPECT_TRUE(Check(history, four, 30));
  EXPECT_TRUE(Check(history, elsewhere, 30));
  EXPECT_EQ(history.size(), 4u);
}

}  // namespace
}  // namespace vm
