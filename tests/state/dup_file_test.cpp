#include "state/dup_file.h"

#include "state/state_fixture.h"

namespace vm {
namespace {

class DupFileTest : public StateFixture {
 protected:
  HistoryEntry Entry(std::string file, std::string area, CalendarDate decoded) {
    HistoryEntry entry;
    entry.fileName = std::move(file);
    entry.areaName = std::move(area);
    entry.totalSections = 3;
    entry.posted = {2024, 2, 1};
    entry.decoded = decoded;
    entry.kind = 2;
    return entry;
  }
  HistoryList history;
};

TEST_F(DupFileTest, RoundTripKeepsEveryField) {
  AddArea("RU.UUE", "SC:\\SQ\\RUUUE", kUnlimited, 30);
  HistoryEntry first = Entry("pkzip.exe", "ru.uue", {2024, 3, 10});
  first.totalSections = -1;  // whatever a posting claimed is kept as written
  AddHistoryEntry(history, first);
  AddHistoryEntry(history, Entry("FILE.ZIP", "RU.UUE", {2024, 3, 15}));
  SaveDuplicatesFile(paths, history, areas, today);
  EXPECT_EQ(Read("veldmark.dup"), CrLf({"Veldmark duplicates file version 3", "PKZIP.EXE", "RU.UUE",
                                        "30 -1 2024 2 1 2 2024 3 10", "FILE.ZIP", "RU.UUE",
                                        "30 3 2024 2 1 2 2024 3 15"}));

  HistoryList loaded;
  LoadDuplicatesFile(paths, loaded, today, log);
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0].fileName, "PKZIP.EXE");
  EXPECT_EQ(loaded[0].totalSections, -1);
  EXPECT_EQ(loaded[1].posted, (CalendarDate{2024, 2, 1}));
  EXPECT_EQ(loaded[1].decoded, (CalendarDate{2024, 3, 15}));
  EXPECT_EQ(loaded[1].kind, 2);
}

TEST_F(DupFileTest, SavingDropsEntriesOlderThanTheAreasHistoryLength) {
  AddArea("DAYS30", "F\\A", kUnlimited, 30);
  AddArea("FOREVER", "F\\B", kUnlimited, kUnlimited);
  AddArea("TODAYONLY", "F\\C", kUnlimited, 0);
  const CalendarDate days31Ago{2024, 2, 13}, days30Ago{2024, 2, 14}, yesterday{2024, 3, 14};
  AddHistoryEntry(history, Entry("OLD.ZIP", "DAYS30", days31Ago));
  AddHistoryEntry(history, Entry("EDGE.ZIP", "DAYS30", days30Ago));
  AddHistoryEntry(history, Entry("ANCIENT.ZIP", "FOREVER", {1999, 11, 2}));
  AddHistoryEntry(history, Entry("YDAY.ZIP", "TODAYONLY", yesterday));
  AddHistoryEntry(history, Entry("NOW.ZIP", "TODAYONLY", today));
  AddHistoryEntry(history, Entry("ORPHAN.ZIP", "REMOVED.AREA", today));

  std::string text = FormatDuplicates(history, areas, today);
  EXPECT_EQ(text, CrLf({"Veldmark duplicates file version 3", "EDGE.ZIP", "DAYS30",
                        "30 3 2024 2 1 2 2024 2 14", "ANCIENT.ZIP", "FOREVER",
                        "65535 3 2024 2 1 2 1999 11 2", "NOW.ZIP", "TODAYONLY",
                        "0 3 2024 2 1 2 2024 3 15"}));
}

TEST_F(DupFileTest, LoadingDropsEntriesOlderThanTheStoredLength) {
  Write("veldmark.dup",
        CrLf({"Veldmark duplicates file version 3", "OLD.ZIP", "A", "30 1 2024 1 1 2 2024 2 13",
              "KEPT.ZIP", "A", "30 1 2024 1 1 2 2024 2 14", "ANCIENT.ZIP", "A",
              "65535 1 1990 1 1 2 1990 1 1"}));
  LoadDuplicatesFile(paths, history, today, log);
  ASSERT_EQ(history.size(), 2u);
  EXPECT_EQ(history[0].fileName, "KEPT.ZIP");
  EXPECT_EQ(history[1].fileName, "ANCIENT.ZIP");
}

TEST_F(DupFileTest, OtherVersionIsErased) {
  Write("veldmark.dup",
        CrLf({"Veldmark duplicates file version 2", "A.ZIP", "A", "30 1 2024 1 1 2 2024 3 15"}));
  LoadDuplicatesFile(paths, history, today, log);
  EXPECT_TRUE(history.empty());
  EXPECT_FALSE(dir.Exists("veldmark.dup"));
}

TEST_F(DupFileTest, DamagedFileIsReadAroundTheDamage) {
  std::string garbage("\0\0\x1a\x80\xfe", 5);
  Write("veldmark.dup",
        CrLf({"Veldmark duplicates file version 3", "A.ZIP", "A", "30 1 2024 1 1 2 2024 3 15",
              "B.ZIP", "A", "30 1 2024 1 x 2 2024 3 15", garbage, "C.ZIP", "A",
              "30 1 2024 1 1 999 2024 3 15", "D.ZIP", "A", "30 1 2024 1 1 2 2024 3 15", "E.ZIP",
              "A"}));
  LoadDuplicatesFile(paths, history, today, log);
  ASSERT_EQ(history.size(), 2u);
  EXPECT_EQ(history[0].fileName, "A.ZIP");
  EXPECT_EQ(history[1].fileName, "D.ZIP") << "an entry after the damage is found again";
  EXPECT_NE(Log().find("VELDMARK.DUP"), std::string::npos);
}

TEST_F(DupFileTest, AddHistoryEntryKeepsOneEntryPerFileAreaKindAndSize) {
  HistoryEntry* first = AddHistoryEntry(history, Entry("a_very_long_name.zip", "ru.uue", today));
  EXPECT_EQ(first->fileName, "A_VERY_LONG_");
  EXPECT_EQ(AddHistoryEntry(history, Entry("A_VERY_LONG_NAME.ZIP", "RU.UUE", today)), &history[0]);
  HistoryEntry otherKind = Entry("A_VERY_LONG_", "RU.UUE", today);
  otherKind.kind = 3;
  AddHistoryEntry(history, otherKind);
  HistoryEntry otherSize = Entry("A_VERY_LONG_", "RU.UUE", today);
  otherSize.totalSections = 4;
  AddHistoryEntry(history, otherSize);
  EXPECT_EQ(history.size(), 3u);
  EXPECT_EQ(FindHistoryEntry(history, 3, 3, "Ru.Uue", "a_very_long_"), &history[1]);
  EXPECT_EQ(FindHistoryEntry(history, 2, 3, "RU.UUE", "OTHER"), nullptr);
}

}  // namespace
}  // namespace vm
