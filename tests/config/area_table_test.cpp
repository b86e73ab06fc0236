#include "config/area_table.h"

#include <gtest/gtest.h>

#include <random>

#include "config/area_readers.h"
#include "config/case_fold.h"
#include "text/cp866.h"

namespace vm {
namespace {

AreaEntry Entry(const std::string& tag, const std::string& areaId) {
  AreaEntry entry;
  entry.tag = tag;
  entry.displayName = tag;
  entry.areaId = areaId;
  return entry;
}

TEST(AreaTableTest, LookupsIgnoreCaseAndTheLastEqualEntryWins) {
  AreaTable table;
  EXPECT_EQ(table.FindArea("RU.TEST"), 0);
  EXPECT_EQ(table.Append(Entry("RU.TEST", "FC:\\ONE")), 1);
  EXPECT_EQ(table.Append(Entry("OTHER", "sc:\\fido\\sq\\ru.uue")), 2);
  EXPECT_EQ(table.Append(Entry("ru.test", "FC:\\ONE")), 3);
  EXPECT_EQ(table.FindArea("Ru.Test"), 3);
  EXPECT_EQ(table.FindAreaByAreaId("fc:\\one"), 3);
  EXPECT_EQ(table.FindAreaByAreaId("SC:\\FIDO\\SQ\\RU.UUE"), 2);
  // Cyrillic letters fold too.
  table.Append(Entry(Cp866("ру.тест"), "J1"));
  EXPECT_EQ(table.FindArea(Cp866("РУ.ТЕСТ")), 4);
  EXPECT_EQ(table.FindArea("RU.TES"), 0);
  // FindOrCreate finds the last equal entry instead of adding one.
  EXPECT_EQ(table.FindOrCreate("RU.TEST"), 3);
  EXPECT_EQ(table.Count(), 4);
}

TEST(AreaTableTest, ChangesMadeThroughAtReachTheLookups) {
  AreaTable table;
  int a = table.FindOrCreate("A");
  int b = table.FindOrCreate("B");
  table.At(a).areaId = "FC:\\A";
  table.At(b).areaId = "FC:\\B";
  EXPECT_EQ(table.FindAreaByAreaId("FC:\\A"), a);
  table.At(a).areaId = "FC:\\B";  // now two entries share the id: the later one wins
  table.At(b).tag = "RENAMED";
  EXPECT_EQ(table.FindAreaByAreaId("FC:\\A"), 0);
  EXPECT_EQ(table.FindAreaByAreaId("FC:\\B"), b);
  EXPECT_EQ(table.FindArea("B"), 0);
  EXPECT_EQ(table.FindArea("renamed"), b);
  table.At(b).areaId = "";
  EXPECT_EQ(table.FindAreaByAreaId("FC:\\B"), a);
}

TEST(AreaTableTest, SwapAndReorderMoveTheLookups) {
  AreaTable table;
  for (const char* tag : {"A", "B", "C"}) table.Append(Entry(tag, std::string("F") + tag));
  table.Swap(1, 3);
  EXPECT_EQ(table.At(1).tag, "C");
  EXPECT_EQ(table.FindArea("A"), 3);
  EXPECT_EQ(table.FindAreaByAreaId("FC"), 1);
  table.Reorder({2, 3, 1});  // B, A, C
  EXPECT_EQ(table.At(1).tag, "B");
  EXPECT_EQ(table.At(2).tag, "A");
  EXPECT_EQ(table.FindArea("C"), 3);
  EXPECT_EQ(table.FindAreaByAreaId("FA"), 2);
  EXPECT_THROW(table.Reorder({1, 1, 2}), std::invalid_argument);
  EXPECT_EQ(table.FindArea("C"), 3);  // a refused order leaves the table as it was
}

TEST(AreaTableTest, AFullTableAddsNothingButStillFinds) {
  AreaTable table;
  for (int i = 1; i <= AreaTable::kCapacity; ++i)
    ASSERT_EQ(table.FindOrCreate("AREA" + std::to_string(i)), i);
  EXPECT_EQ(table.FindOrCreate("ONE.MORE"), 0);
  EXPECT_EQ(table.Append(Entry("ONE.MORE", "F")), 0);
  EXPECT_EQ(table.Count(), AreaTable::kCapacity);
  EXPECT_EQ(table.FindOrCreate("area4096"), 4096);
  EXPECT_EQ(table.FindArea("AREA1"), 1);
}

// The indexes against plain scans of the table, through appends, changes, swaps and sorts.
TEST(AreaTableTest, LookupsAgreeWithAScanOfTheTable) {
  std::mt19937 random(7);
  const std::string kParts[] = {"ru", "RU", "su", "Ru", ".", "x", Cp866("ф"), "\\"};
  // Up to 24 bytes, so that texts span the eight-byte words the hash folds at once.
  auto text = [&random, &kParts] {
    std::string t;
    for (int n = random() % 12; n >= 0; --n) t += kParts[random() % 8];
    return t;
  };
  auto lastEqual = [](const AreaTable& table, const std::string& key, bool byTag) {
    int found = 0;
    for (int i = 1; i <= table.Count(); ++i)
      if (EqualNoCaseCp866(byTag ? table.At(i).tag : table.At(i).areaId, key)) found = i;
    return found;
  };
  AreaTable table;
  for (int step = 0; step < 3000; ++step) {
    switch (random() % 6) {
      case 0: table.Append(Entry(text(), text())); break;
      case 1: table.FindOrCreate(text()); break;
      case 2:
        if (table.Count() > 0) table.At(1 + random() % table.Count()).areaId = text();
        break;
      case 3:
        if (table.Count() > 0) table.At(1 + random() % table.Count()).tag = text();
        break;
      case 4:
        if (table.Count() > 1)
          table.Swap(1 + random() % table.Count(), 1 + random() % table.Count());
        break;
      default:
        if (step % 50 == 0)
          SortAreas(table, step % 100 ? SortAreasMode::Name : SortAreasMode::Type);
        break;
    }
    std::string key = text();
    ASSERT_EQ(table.FindArea(key), lastEqual(table, key, true)) << step;
    ASSERT_EQ(table.FindAreaByAreaId(key), lastEqual(table, key, false)) << step;
  }
}

// Each change of a tag leaves a removed cell behind in the index; once they fill half of it,
// the index is filed again from scratch. Lookups must come through that unchanged.
TEST(AreaTableTest, ManyChangesOfOneTagKeepTheLookupsRight) {
  AreaTable table;
  for (const char* tag : {"A", "B", "C"}) table.FindOrCreate(tag);
  for (int round = 0; round < 20000; ++round) {
    std::string tag = "T" + std::to_string(round);
    table.At(2).tag = tag;
    ASSERT_EQ(table.FindArea(tag), 2) << round;
    ASSERT_EQ(table.FindArea("c"), 3) << round;
  }
  EXPECT_EQ(table.FindArea("B"), 0);
}

// Folding eight bytes at a time must give what UpCaseCp866 gives byte by byte, wherever in a
// text of any length a byte stands.
TEST(AreaTableTest, WordWiseFoldingAgreesWithUpCaseCp866) {
  for (int c = 0; c < 256; ++c) {
    for (size_t length = 1; length <= 19; ++length) {
      for (size_t at = 0; at < length; ++at) {
        std::string text(length, 'q');
        text[at] = static_cast<char>(c);
        std::string folded = "x";
        AppendUpCased(folded, text);
        ASSERT_EQ(folded, "x" + UpCaseCp866(text)) << c << " " << length << " " << at;
      }
    }
  }
}

// The exchange sort as a plain loop over the texts: SortAreas must give the same order.
TEST(AreaTableTest, SortGivesTheExchangeSortsOrder) {
  std::mt19937 random(11);
  AreaTable table;
  std::vector<std::string> names;
  for (int i = 0; i < 300; ++i) {
    std::string name = std::string(1, "aAbB"[random() % 4]) + std::string(1, "xy"[random() % 2]);
    AreaEntry entry = Entry("T" + std::to_string(i), "F");
    entry.displayName = name;
    table.Append(entry);
    names.push_back(UpCaseCp866(name));
  }
  std::vector<std::string> expected;
  for (int i = 0; i < 300; ++i) expected.push_back("T" + std::to_string(i));
  for (size_t i = 0; i + 1 < names.size(); ++i)
    for (size_t j = i; j < names.size(); ++j)
      if (names[i] > names[j]) {
        std::swap(names[i], names[j]);
        std::swap(expected[i], expected[j]);
      }
  SortAreas(table, SortAreasMode::Name);
  for (int i = 1; i <= table.Count(); ++i) ASSERT_EQ(table.At(i).tag, expected[i - 1]) << i;
}

}  // namespace
}  // namespace vm
