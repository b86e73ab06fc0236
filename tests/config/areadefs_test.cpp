// AREADEFS.CTL: masks, groups, errors, and the default file.
#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "config/area_mask.h"
#include "config/area_readers.h"
#include "config/area_test_node.h"
#include "platform/fatal.h"

namespace vm {
namespace {

TEST(MatchMaskTest, Walk) {
  EXPECT_TRUE(MatchMask("*", ""));
  EXPECT_TRUE(MatchMask("*.*", "NOPERIOD"));
  EXPECT_TRUE(MatchMask("R?.UUE*", "RU.UUENCODE"));
  EXPECT_TRUE(MatchMask("RU.*", "RU."));
  EXPECT_TRUE(MatchMask("RU.*", "RU.TEST"));
  EXPECT_FALSE(MatchMask("RU.*", "RU"));
  EXPECT_FALSE(MatchMask("RU.*", "SU.TEST"));
  // Without a star the whole tag must match.
  EXPECT_TRUE(MatchMask("RU.TEST", "RU.TEST"));
  EXPECT_FALSE(MatchMask("RU.TEST", "RU.TESTS"));
  EXPECT_FALSE(MatchMask("RU.TESTS", "RU.TEST"));
  // A "?" that ends the mask or the tag accepts the rest.
  EXPECT_TRUE(MatchMask("R?", "RU.TEST"));
  EXPECT_TRUE(MatchMask("RU.TES?X", "RU.TESZ"));
  // ... but a letter that meets the end of the tag does not.
  EXPECT_FALSE(MatchMask("RU.TES?X", "RU.TES"));
  EXPECT_FALSE(MatchMask("RU.TEST?", "RU.TEST"));
  // A star jumps to the first occurrence of the next character only.
  EXPECT_TRUE(MatchMask("*.TEST", "RU.TEST"));
  EXPECT_FALSE(MatchMask("*.B", "A.A.B"));
  EXPECT_FALSE(MatchMask("*X", "ABC"));
  EXPECT_FALSE(MatchMask("*UUE*", "RU.UUE"));  // the star stops at the U of RU
  EXPECT_TRUE(MatchMask("*.UUE*", "RU.UUE"));
  EXPECT_FALSE(MatchMask("A", ""));
  EXPECT_FALSE(MatchMask("RU.TEST ;COMMENT", "RU.TEST"));
  // Letters compare without regard to case, Cyrillic ones too, also where a star looks ahead.
  EXPECT_TRUE(MatchMask("RU.*", "ru.test"));
  EXPECT_TRUE(MatchMask(Cp866("*.ТЕСТ"), Cp866("ру.тест")));
  EXPECT_TRUE(MatchMask(Cp866("р?.т*"), Cp866("РУ.ТЕСТ")));
  EXPECT_FALSE(MatchMask(Cp866("*.ТЕСТ"), Cp866("ру.тесты")));
}

class AreaDefinitionsTest : public ::testing::Test {
 protected:
  AreaTestNode node;
  AreaTestContext t;
  ProgramPaths paths;

  void SetUp() override {
    paths.ProgramDir = node.Dir();
    for (const char* tag : {"RU.TEST", "RU.UUE", "SU.FILES", "FIDO.NETMAIL", "NETMAIL"}) {
      AreaEntry entry;
      entry.tag = entry.displayName = tag;
      entry.areaId = std::string("F") + tag;
      t.areas.Append(entry);
    }
    t.areas.At(t.areas.FindArea("NETMAIL")).netmail = 1;
  }
  void Read(const std::string& text) {
    node.Write("AREADEFS.CTL", text);
    ReadAreaDefinitions(paths, t.areas, t.console);
  }
  std::string ReadExpectingStop(const std::string& text) {
    try {
      Read(text);
    } catch (const FatalStop& stop) {
      return stop.Message();
    }
    return "(no stop)";
  }
};

TEST_F(AreaDefinitionsTest, GroupsApplyInOrder) {
  Read(
      "SECTIONSPERDAY 3\r\n"  // before any AREA: no effect
      "; comment\r\n"
      "AREA *\r\n"
      "  HISTORYLENGTH 30\r\n"
      "  SENDMODE sequental\r\n"
      "AREA ru.test\r\n"
      "  SECTIONSPERDAY 5\r\n"
      "  NAME \"Test area with a name longer than thirty-eight\r\n"
      "  FILES *.pas d:\\programs\\pascal\r\n"
      "  FILES averyveryverylongmask.* d:\\other\r\n"
      "  DECODEDIR c:\\in\r\n"
      "  UNKNOWN keyword\r\n"
      "AREA RU.*\r\n"
      "  EXCLUDE yes\r\n"
      "  NETMAIL yes\r\n"
      "AREA NETMAIL\r\n"
      "  NETMAIL no\r\n"
      "  HISTORYLENGTH infinite\r\n");
  const AreaEntry& test = t.Area("RU.TEST");
  EXPECT_EQ(test.displayName, "Test area with a name longer than thir");
  // The RU.* group came later: its defaults replace those of the RU.TEST group.
  EXPECT_EQ(test.SectionsPerDay, kUnlimited);
  EXPECT_EQ(test.sendMode, SendMode::Parallel);
  EXPECT_EQ(test.HistoryDays, 30u);
  EXPECT_EQ(test.exclude, 1);
  EXPECT_EQ(test.netmail, 1);
  EXPECT_EQ(test.fileRoutes, nullptr);
  EXPECT_EQ(t.Area("RU.UUE").exclude, 1);
  EXPECT_EQ(t.Area("RU.UUE").fileRoutes, test.fileRoutes);

  const AreaEntry& files = t.Area("SU.FILES");
  EXPECT_EQ(files.sendMode, SendMode::Sequential);
  EXPECT_EQ(files.HistoryDays, 30u);
  EXPECT_EQ(files.SectionsPerDay, kUnlimited);
  EXPECT_EQ(files.exclude, 0);
  EXPECT_EQ(files.netmail, 0);

  // NETMAIL no clears the flag its source set; the history length carried on to INFINITE.
  EXPECT_EQ(t.Area("NETMAIL").netmail, 0);
  EXPECT_EQ(t.Area("NETMAIL").HistoryDays, kUnlimited);
}

TEST_F(AreaDefinitionsTest, RoutesAreSharedAndNetmailLeftAloneWhenNotGiven) {
  Read(
      "AREA RU.*\r\n"
      "  NETMAIL yes\r\n"
      "  FILES *.pas d:\\programs\\pascal\r\n"
      "  FILES averyveryverylongmask.* d:\\other\r\n"
      "AREA RU.TEST\r\n"
      "  SECTIONSPERDAY 5\r\n"
      "AREA RU.TEST ; the comment is part of the mask\r\n"
      "  SECTIONSPERDAY 7\r\n");
  const AreaEntry& uue = t.Area("RU.UUE");
  ASSERT_NE(uue.fileRoutes, nullptr);
  ASSERT_EQ(uue.fileRoutes->size(), 2u);
  EXPECT_EQ((*uue.fileRoutes)[0].mask, "*.PAS");
  EXPECT_EQ((*uue.fileRoutes)[0].directory, "d:\\programs\\pascal") << "as written";
  EXPECT_EQ((*uue.fileRoutes)[1].mask, "AVERYVERYVERYL");
  EXPECT_EQ(uue.netmail, 1);
  EXPECT_EQ(uue.HistoryDays, 0u);  // no HISTORYLENGTH line before: 0

  const AreaEntry& test = t.Area("RU.TEST");
  EXPECT_EQ(test.SectionsPerDay, 5u);
  EXPECT_EQ(test.netmail, 1);
  EXPECT_EQ(test.fileRoutes, nullptr);
}

TEST_F(AreaDefinitionsTest, BadValuesStopWithTheLineNumber) {
  auto message = [](int line, const char* keyword) {
    return Cp866("AREADEFS.CTL строка ") + std::to_string(line) + Cp866(" : Ошибка в параметре ") +
           keyword;
  };
  EXPECT_EQ(ReadExpectingStop("AREA *\r\n\r\n  HISTORYLENGTH 1001\r\n"),
            message(3, "HISTORYLENGTH"));
  EXPECT_EQ(ReadExpectingStop("AREA *\r\nHISTORYLENGTH -1\r\n"), message(2, "HISTORYLENGTH"));
  EXPECT_EQ(ReadExpectingStop("AREA *\r\nHISTORYLENGTH\r\n"), message(2, "HISTORYLENGTH"));
  EXPECT_EQ(ReadExpectingStop("AREA *\r\nSECTIONSPERDAY 0\r\n"), message(2, "SECTIONSPERDAY"));
  EXPECT_EQ(ReadExpectingStop("AREA *\r\nSECTIONSPERDAY 5x\r\n"), message(2, "SECTIONSPERDAY"));
  EXPECT_EQ(ReadExpectingStop("AREA *\r\nNAME \"\"\r\n"), message(2, "NAME"));
  EXPECT_EQ(ReadExpectingStop("AREA *\r\nNAME plain\r\n"), message(2, "NAME"));
  EXPECT_EQ(ReadExpectingStop("AREA *\r\nSENDMODE sequential\r\n"), message(2, "SENDMODE"));
  EXPECT_EQ(ReadExpectingStop("AREA *\r\nNETMAIL maybe\r\n"), message(2, "NETMAIL"));
  EXPECT_EQ(ReadExpectingStop("AREA *\r\nEXCLUDE\r\n"), message(2, "EXCLUDE"));
  EXPECT_EQ(ReadExpectingStop("AREA *\r\nFILES *.PAS\r\n"), message(2, "FILES"));

  for (const char* good :
       {"HISTORYLENGTH 0", "HISTORYLENGTH 1000", "HISTORYLENGTH INFINITE", "SECTIONSPERDAY 100000"})
    EXPECT_EQ(ReadExpectingStop(std::string("AREA *\r\n") + good + "\r\n"), "(no stop)") << good;
  EXPECT_EQ(t.Area("RU.TEST").SectionsPerDay, 100000u);
}

TEST_F(AreaDefinitionsTest, AMissingFileOffersTheDefaultOne) {
  // End of input answers no: the areas keep the settings of their sources.
  ReadAreaDefinitions(paths, t.areas, t.console);
  EXPECT_EQ(t.console.output,
            Cp866("Ошибка 2 открытия AREADEFS.CTL. Перезаписать на стандартный? (Y/N)") + "N\n");
  EXPECT_FALSE(node.Exists("AREADEFS.CTL"));
  EXPECT_EQ(t.Area("RU.TEST").HistoryDays, 0u);

  t.console.AddKeys("xn");
  ReadAreaDefinitions(paths, t.areas, t.console);
  EXPECT_FALSE(node.Exists("AREADEFS.CTL"));
  EXPECT_EQ(t.console.KeysLeft(), 0u);

  t.console.AddKeys("y");
  ReadAreaDefinitions(paths, t.areas, t.console);
  ASSERT_TRUE(node.Exists("AREADEFS.CTL"));
  EXPECT_EQ(t.Area("RU.TEST").HistoryDays, 30u);
  EXPECT_EQ(t.Area("FIDO.NETMAIL").HistoryDays, 30u);
  EXPECT_EQ(t.Area("FIDO.NETMAIL").SectionsPerDay, 10u);
  EXPECT_EQ(t.Area("FIDO.NETMAIL").netmail, 1);
  EXPECT_EQ(t.Area("RU.TEST").SectionsPerDay, kUnlimited);
}

TEST_F(AreaDefinitionsTest, TheDefaultFileByteForByte) {
  WriteDefaultAreaDefinitions(paths);
  std::string text = node.Read("AREADEFS.CTL");
  // CP866, CR LF after every line, 31 lines.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 31);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 31);
  std::string expectedStart = Cp866(";Файл определения параметров областей\r\n");
  EXPECT_EQ(text.substr(0, expectedStart.size()), expectedStart);
  EXPECT_NE(text.find(Cp866(";   \"R?.UUE*\" соответствует \"RU.UUENCODE\")\r\n")),
            std::string::npos);
  EXPECT_NE(text.find(Cp866(";  NAME \"<имя>\" - переопределение названия\r\n")),
            std::string::npos);
  EXPECT_NE(text.find(Cp866("будут раскодтрованы в другой\r\n;каталог. Пример: FILES *.pas "
                            "d:\\programs Может быть задано много таких\r\n")),
            std::string::npos);
  std::string expectedEnd = Cp866(
      ";           sequental - файлы один за другим\r\n\r\nAREA *\r\n  HISTORYLENGTH 30\r\n\r\n"
      "AREA Fido.NetMail\r\n  SECTIONSPERDAY 10\r\n  NETMAIL yes\r\n\r\n");
  ASSERT_GE(text.size(), expectedEnd.size());
  EXPECT_EQ(text.substr(text.size() - expectedEnd.size()), expectedEnd);
  // The letters are CP866: "Ф" is 0x94.
  EXPECT_EQ(static_cast<unsigned char>(text[1]), 0x94);

  // A program directory that cannot take the file stops the program.
  ProgramPaths nowhere;
  nowhere.ProgramDir = node.Dir() + "AREADEFS.CTL/";
  try {
    WriteDefaultAreaDefinitions(nowhere);
    FAIL();
  } catch (const FatalStop& stop) {
    EXPECT_EQ(stop.Message(), Cp866("Не могу записать AREADEFS.CTL"));
  }
}

// A group as the random test writes it; nullopt: the line is left out.
struct GroupLines {
  std::string mask;
  std::optional<std::string> name;
  std::optional<SendMode> sendMode;
  std::optional<uint32_t> sectionsPerDay;
  std::optional<uint32_t> historyDays;
  std::optional<bool> netmail;
  std::optional<bool> exclude;
  std::vector<FileRoute> routes;
};

std::string Render(const std::vector<GroupLines>& groups) {
  std::string text;
  for (const GroupLines& g : groups) {
    text += "AREA " + g.mask + "\r\n";
    if (g.name) text += "  NAME \"" + *g.name + "\"\r\n";
    if (g.sendMode)
      text +=
          g.sendMode == SendMode::Sequential ? "SENDMODE sequental\r\n" : "SENDMODE parallel\r\n";
    if (g.sectionsPerDay) text += "SECTIONSPERDAY " + std::to_string(*g.sectionsPerDay) + "\r\n";
    if (g.historyDays)
      text += "HISTORYLENGTH " +
              (*g.historyDays == kUnlimited ? "infinite" : std::to_string(*g.historyDays)) + "\r\n";
    if (g.netmail) text += std::string("NETMAIL ") + (*g.netmail ? "yes" : "no") + "\r\n";
    if (g.exclude) text += std::string("EXCLUDE ") + (*g.exclude ? "YES" : "no") + "\r\n";
    for (const FileRoute& route : g.routes)
      text += "FILES " + route.mask + " " + route.directory + "\r\n";
  }
  return text;
}

// The groups applied one after the other to every area whose tag the mask matches.
void ApplyOneByOne(const std::vector<GroupLines>& groups, std::vector<AreaEntry>& areas) {
  uint32_t historyDays = 0;
  for (const GroupLines& g : groups) {
    if (g.historyDays) historyDays = *g.historyDays;
    auto routes =
        g.routes.empty() ? nullptr : std::make_shared<const std::vector<FileRoute>>(g.routes);
    for (AreaEntry& area : areas) {
      if (!MatchMask(UpCaseCp866(g.mask), area.tag)) continue;
      if (g.name) area.displayName = g.name->substr(0, kAreaNameWidth);
      area.HistoryDays = historyDays;
      area.SectionsPerDay = g.sectionsPerDay.value_or(kUnlimited);
      area.sendMode = g.sendMode.value_or(SendMode::Parallel);
      if (g.netmail) area.netmail = *g.netmail ? 1 : 0;
      area.exclude = g.exclude.value_or(false) ? 1 : 0;
      area.fileRoutes = routes;
    }
  }
}

// Each area is written once with the groups that have the last word on it; that must come to
// the same as letting every group overwrite its areas in turn.
TEST_F(AreaDefinitionsTest, RandomGroupsComeToWhatTheyDoOneByOne) {
  std::mt19937 random(5020);
  auto oneOf = [&random](const std::vector<std::string>& parts) {
    return parts[random() % parts.size()];
  };
  const std::vector<std::string> kTagParts = {"R", "U", "r", ".", "T", "S", Cp866("р"), Cp866("У")};
  const std::vector<std::string> kMaskParts = {"R", "U", "u", ".", "T", "S", "*", "?", Cp866("Р")};
  const std::vector<std::string> kWholeMasks = {"*", "*.*", "RU.*", "R?.T*", "ru.t", "*.T", "S*"};
  for (int round = 0; round < 60; ++round) {
    SCOPED_TRACE(round);
    AreaTable table;
    std::vector<AreaEntry> expected;
    for (int i = random() % 40; i >= 0; --i) {
      AreaEntry area;
      for (int n = random() % 6; n > 0; --n) area.tag += oneOf(kTagParts);
      area.displayName = area.tag;
      area.areaId = "F" + std::to_string(i);
      area.netmail = random() % 2;
      area.HistoryDays = 7;  // as no group leaves it
      table.Append(area);
      expected.push_back(area);
    }
    std::vector<GroupLines> groups(random() % 12);
    for (GroupLines& g : groups) {
      if (random() % 3 == 0) {
        g.mask = oneOf(kWholeMasks);
      } else {
        for (int n = 1 + random() % 5; n > 0; --n) g.mask += oneOf(kMaskParts);
      }
      if (random() % 3 == 0)
        g.name = "Name " + std::to_string(random() % 100) + std::string(random() % 2 * 40, 'x');
      if (random() % 3 == 0) g.sendMode = random() % 2 ? SendMode::Sequential : SendMode::Parallel;
      if (random() % 3 == 0) g.sectionsPerDay = 1 + random() % 50;
      if (random() % 3 == 0) g.historyDays = random() % 4 == 0 ? kUnlimited : random() % 1001;
      if (random() % 3 == 0) g.netmail = random() % 2;
      if (random() % 3 == 0) g.exclude = random() % 2;
      for (int n = random() % 3; n > 0; --n)
        g.routes.push_back({"*." + std::to_string(random() % 10), "D:\\R" + std::to_string(n)});
    }
    node.Write("AREADEFS.CTL", Render(groups));
    ReadAreaDefinitions(paths, table, t.console);
    ApplyOneByOne(groups, expected);

    ASSERT_EQ(table.Count(), static_cast<int>(expected.size()));
    for (int i = 1; i <= table.Count(); ++i) {
      const AreaEntry& got = table.At(i);
      const AreaEntry& want = expected[static_cast<size_t>(i - 1)];
      SCOPED_TRACE(want.tag);
      EXPECT_EQ(got.displayName, want.displayName);
      EXPECT_EQ(got.HistoryDays, want.HistoryDays);
      EXPECT_EQ(got.SectionsPerDay, want.SectionsPerDay);
      EXPECT_EQ(got.sendMode, want.sendMode);
      EXPECT_EQ(got.netmail, want.netmail);
      EXPECT_EQ(got.exclude, want.exclude);
      ASSERT_EQ(got.fileRoutes == nullptr, want.fileRoutes == nullptr);
      if (got.fileRoutes) {
        ASSERT_EQ(got.fileRoutes->size(), want.fileRoutes->size());
        for (size_t r = 0; r < got.fileRoutes->size(); ++r) {
          EXPECT_EQ((*got.fileRoutes)[r].mask, (*want.fileRoutes)[r].mask);
          EXPECT_EQ((*got.fileRoutes)[r].directory, (*want.fileRoutes)[r].directory);
        }
      }
    }
  }
}

// A bad value stops the program with the groups before it in effect, and not the group with the
// bad line.
TEST_F(AreaDefinitionsTest, TheGroupsBeforeABadValueHaveTakenEffect) {
  EXPECT_NE(ReadExpectingStop("AREA RU.*\r\n  EXCLUDE yes\r\n  HISTORYLENGTH 9\r\n"
                              "AREA *\r\n  SECTIONSPERDAY 4\r\n  SENDMODE sideways\r\n"),
            "(no stop)");
  EXPECT_EQ(t.Area("RU.TEST").exclude, 1);
  EXPECT_EQ(t.Area("RU.TEST").HistoryDays, 9u);
  EXPECT_EQ(t.Area("RU.TEST").SectionsPerDay, kUnlimited);
  EXPECT_EQ(t.Area("SU.FILES").exclude, 0);
  EXPECT_EQ(t.Area("SU.FILES").HistoryDays, 0u);
}

}  // namespace
}  // namespace vm
