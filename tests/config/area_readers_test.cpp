// SQUISH.CFG, AREAS.BBS, Terminate, AREA lines and the area sort, read from files in a
// temporary node.
#include "config/area_readers.h"

#include <gtest/gtest.h>

#include "config/area_test_node.h"
#include "msgbase/area_id.h"
#include "platform/fatal.h"

namespace vm {
namespace {

std::string FatalMessage(const std::function<void()>& action) {
  try {
    action();
  } catch (const FatalStop& stop) {
    return stop.Message();
  }
  return "(no stop)";
}

std::vector<std::string> Tags(const AreaTable& areas) {
  std::vector<std::string> tags;
  for (int i = 1; i <= areas.Count(); ++i) tags.push_back(areas.At(i).tag);
  return tags;
}

class AreaReadersTest : public ::testing::Test {
 protected:
  AreaTestNode node;
  AreaTestContext t;

  void Manual(const std::string& rest) { AddManualArea("AREA " + rest, 4, t.context); }
};

TEST_F(AreaReadersTest, SquishConfigAreaLines) {
  std::string path = node.Write("SQUISH.CFG",
                                "; comment\r\n"
                                "EchoArea RU.TEST C:\\FIDO\\RU.TEST -$ -0\r\n"
                                "EchoArea\tru.squish\tC:\\FIDO\\SQ\\RU.SQUISH\t-$m500\r\n"
                                "  NetArea NETMAIL C:\\FIDO\\NETMAIL\\ 2:5020/1\r\n"
                                "LocalArea LOCAL.MSG c:\\fido\\local\r\n"
                                "   ;EchoArea COMMENTED C:\\X\r\n"
                                "Origin Some text here\r\n"
                                "DupeArea\r\n"
                                "BadArea BAD C:\\FIDO\\BAD\n");
  ReadSquishConfig(path, t.context);
  EXPECT_EQ(Tags(t.areas), (std::vector<std::string>{"RU.SQUISH", "NETMAIL", "LOCAL.MSG", "BAD"}));
  const AreaEntry& squish = t.Area("RU.SQUISH");
  EXPECT_EQ(squish.areaId, "SC:\\FIDO\\SQ\\RU.SQUISH");
  EXPECT_EQ(squish.displayName, "RU.SQUISH");
  EXPECT_EQ(squish.netmail, 0);
  EXPECT_EQ(squish.SectionsPerDay, kUnlimited);
  EXPECT_EQ(squish.HistoryDays, 0u);
  EXPECT_EQ(t.Area("NETMAIL").areaId, "FC:\\FIDO\\NETMAIL");
  EXPECT_EQ(t.Area("NETMAIL").netmail, 1);
  EXPECT_EQ(t.Area("LOCAL.MSG").areaId, "Fc:\\fido\\local") << "the path as written";

  t.context.settingsLine = 12;
  EXPECT_EQ(FatalMessage([&] { ReadSquishConfig(node.Path("MISSING.CFG"), t.context); }),
            Cp866("VELDMARK.CTL строка 12: Файл SQUISH.CFG не найден - проверьте параметр "
                  "SQUISHPATH"));
}

TEST_F(AreaReadersTest, AreasBbsPathKinds) {
  t.settings.HUDSONPATH = "C:\\FIDO\\HUDSON\\";
  t.settings.lastParsedAddress = {2, 5020, 0, 0};
  std::string path = node.Write("AREAS.BBS",
                                "C:\\FIDO\\NETMAIL NETMAIL\r\n"
                                "$C:\\FIDO\\SQ\\RU.TEST RU.TEST 2:5020/1 2:5020/2\r\n"
                                "!c:\\fido\\jam\\ru.jam ru.jam 77\r\n"
                                "7 RU.HUDSON not-an-address\r\n"
                                "   \r\n"
                                "; C:\\X COMMENTED\r\n"
                                "PASSTHRU RU.PASSED 2:5020/1\r\n"
                                "P:\\PATH RU.PDRIVE\r\n"
                                "12345 RU.NOBOARD\r\n"
                                "C:\\FIDO\\LONELY\r\n");
  ReadAreasBbs(path, t.context);
  EXPECT_EQ(Tags(t.areas), (std::vector<std::string>{"NETMAIL", "RU.TEST", "RU.JAM", "RU.HUDSON"}));
  EXPECT_EQ(t.Area("NETMAIL").areaId, "FC:\\FIDO\\NETMAIL");
  EXPECT_EQ(t.Area("NETMAIL").netmail, 0);
  const AreaEntry& squish = t.Area("RU.TEST");
  EXPECT_EQ(squish.areaId, "SC:\\FIDO\\SQ\\RU.TEST");
  EXPECT_EQ(squish.address, (NetAddress{2, 5020, 1, 0}));
  // A bare node number takes zone and net from the address parsed before it.
  EXPECT_EQ(t.Area("RU.JAM").areaId, "Jc:\\fido\\jam\\ru.jam") << "the path as written";
  EXPECT_EQ(t.Area("RU.JAM").address, (NetAddress{2, 5020, 77, 0}));
  EXPECT_EQ(t.Area("RU.HUDSON").areaId, "H007C:\\FIDO\\HUDSON\\");
  EXPECT_TRUE(t.Area("RU.HUDSON").address.IsEmpty());

  t.context.settingsLine = 3;
  EXPECT_EQ(FatalMessage([&] { ReadAreasBbs(node.Path("NONE.BBS"), t.context); }),
            Cp866("VELDMARK.CTL строка 3: Файл AREAS.BBS не найден - проверьте параметр "
                  "AREASPATH"));
}

TEST_F(AreaReadersTest, TerminateAreaFile) {
  std::string config = node.Write("TM/TM.CFG",
                                  "% comment\r\n"
                                  "@ another\r\n"
                                  "Address 2:5020/1\r\n"
                                  "AreaFile areas.tm\r\n");
  node.Write("TM/AREAS.TM",
             "ru.msg RU.MSG -msg\r\n"
             "c:\\jam\\ru.jam\\ RU.JAM jam\r\n"
             "both RU.BOTH jam msg\r\n"
             "other RU.SQUISH squish\r\n"
             "% ru.gone RU.GONE msg\r\n"
             "x\r\n");
  ReadTerminateConfig(config, t.context);
  std::string dir = SplitPath(config).dir;
  EXPECT_EQ(Tags(t.areas), (std::vector<std::string>{"RU.MSG", "RU.JAM", "RU.BOTH"}));
  // Paths as the area file writes them.
  EXPECT_EQ(t.Area("RU.MSG").areaId, "F" + dir + "TERMAIL\\ru.msg");
  EXPECT_EQ(t.Area("RU.JAM").areaId, "Jc:\\jam\\ru.jam");
  EXPECT_EQ(t.Area("RU.BOTH").areaId, "F" + dir + "TERMAIL\\both");
  EXPECT_EQ(t.Area("RU.MSG").SectionsPerDay, kUnlimited);

  std::string noAreaFile = node.Write("TM2/TM.CFG", "Address 2:5020/1\r\n");
  EXPECT_EQ(FatalMessage([&] { ReadTerminateConfig(noAreaFile, t.context); }),
            Cp866("В файле ") + noAreaFile + Cp866(" нет параметра AREAFILE"));
  std::string badAreaFile = node.Write("TM3/TM.CFG", "AREAFILE gone.tm\r\n");
  EXPECT_EQ(FatalMessage([&] { ReadTerminateConfig(badAreaFile, t.context); }),
            Cp866("Файл ") + SplitPath(badAreaFile).dir + "GONE.TM" + Cp866(" не найден."));
}

TEST_F(AreaReadersTest, ManualAreasAndTheirDefaults) {
  Manual("msg RU.MSG c:\\fido\\ru.msg\\ ; a comment");
  Manual("HUDSON ru.hudson 001C:\\FIDO\\MAIL\\");
  Manual("Squish RU.SQ C:\\SQ\\RU");
  Manual("JAM RU.JAM C:\\JAM\\RU");
  EXPECT_EQ(t.Area("RU.MSG").areaId, "Fc:\\fido\\ru.msg") << "the path as written";
  EXPECT_EQ(t.Area("RU.HUDSON").areaId, "H001C:\\FIDO\\MAIL");
  EXPECT_EQ(t.Area("RU.SQ").areaId, "SC:\\SQ\\RU");
  EXPECT_EQ(t.Area("RU.JAM").areaId, "JC:\\JAM\\RU");
  // Written by hand: no sections per day and an unlimited history until a definition says so.
  EXPECT_EQ(t.Area("RU.JAM").SectionsPerDay, 0u);
  EXPECT_EQ(t.Area("RU.JAM").HistoryDays, kUnlimited);

  t.context.settingsLine = 9;
  std::string bad = Cp866("VELDMARK.CTL строка 9: Ошибка в параметре AREA");
  EXPECT_EQ(FatalMessage([&] { Manual("PCBOARD RU.X C:\\X"); }), bad);
  EXPECT_EQ(FatalMessage([&] { Manual("MSG RU.X"); }), bad);
  EXPECT_EQ(t.areas.Count(), 4);
}

// Every kind the table gives a type word can be written on an AREA line: the id the line makes
// reads back as that kind, at the path written.
TEST_F(AreaReadersTest, EveryKindWithATypeWordMakesItsOwnAreas) {
  int expected = 0;
  for (const BaseKindRow& kind : BaseKinds()) {
    const std::string tag = "AREA." + std::string(1, kind.letter);
    const std::string locator = std::string(kind.boardWidth, '7') + "C:\\BASES\\" + tag;
    if (kind.keyword.empty()) continue;
    Manual(std::string(kind.keyword) + " " + tag + " " + locator + "\\");
    ++expected;
    const std::optional<AreaId> id = AreaId::Parse(t.Area(tag).areaId);
    ASSERT_TRUE(id.has_value()) << tag;
    EXPECT_EQ(id->kind, kind.kind);
    EXPECT_EQ(id->Locator(), locator);
  }
  EXPECT_EQ(t.areas.Count(), expected);
}

// Long words with Cyrillic letters are folded; the same tag met again in another case is the
// same area, which takes the later line's fields (and no address when the line has none).
TEST_F(AreaReadersTest, AreasBbsFoldsLongWordsAndMeetsATagAgainInAnyCase) {
  std::string path =
      node.Write("AREAS.BBS", Cp866("c:\\фидо\\почта\\длинная.эха ru.длинная.эха 2:5020/3\r\n"
                                    "!c:\\jam\\other.base RU.ДЛИННАЯ.ЭХА\r\n"));
  ReadAreasBbs(path, t.context);
  ASSERT_EQ(t.areas.Count(), 1);
  const AreaEntry& area = t.areas.At(1);
  EXPECT_EQ(area.tag, Cp866("RU.ДЛИННАЯ.ЭХА"));
  EXPECT_EQ(area.areaId, "Jc:\\jam\\other.base");
  EXPECT_TRUE(area.address.IsEmpty());
  EXPECT_EQ(t.areas.FindArea(Cp866("Ru.Длинная.Эха")), 1);
}

TEST_F(AreaReadersTest, ALaterSourceUpdatesTheSameEntry) {
  std::string squish = node.Write("SQUISH.CFG", "NetArea RU.TEST C:\\FIDO\\RU.TEST -$\r\n");
  ReadSquishConfig(squish, t.context);
  t.areas.At(1).ResumeMessage = 42;
  EXPECT_EQ(t.areas.FindAreaByAreaId("SC:\\FIDO\\RU.TEST"), 1);
  Manual("JAM ru.test C:\\JAM\\RU.TEST");
  ASSERT_EQ(t.areas.Count(), 1);
  // The lookup by area id learns of the new one.
  EXPECT_EQ(t.areas.FindAreaByAreaId("JC:\\JAM\\RU.TEST"), 1);
  EXPECT_EQ(t.areas.FindAreaByAreaId("SC:\\FIDO\\RU.TEST"), 0);
  const AreaEntry& area = t.areas.At(1);
  EXPECT_EQ(area.areaId, "JC:\\JAM\\RU.TEST");
  EXPECT_EQ(area.netmail, 0);
  EXPECT_EQ(area.SectionsPerDay, 0u);
  EXPECT_EQ(area.HistoryDays, kUnlimited);
  EXPECT_EQ(area.ResumeMessage, 42u);  // only the source's own fields are set again
}

TEST_F(AreaReadersTest, TheTableStopsAt4096AreasWithOneWarning) {
  std::string text;
  for (int i = 1; i <= AreaTable::kCapacity + 3; ++i)
    text += "C:\\A\\" + std::to_string(i) + " AREA." + std::to_string(i) + "\r\n";
  text += "C:\\NEW\\PATH AREA.1\r\n";  // known areas are still updated
  ReadAreasBbs(node.Write("AREAS.BBS", text), t.context);
  EXPECT_EQ(t.areas.Count(), AreaTable::kCapacity);
  EXPECT_EQ(t.Area("AREA.4096").areaId, "FC:\\A\\4096");
  EXPECT_EQ(t.areas.FindArea("AREA.4097"), 0);
  EXPECT_EQ(t.Area("AREA.1").areaId, "FC:\\NEW\\PATH");
  EXPECT_NE(t.console.output.find("4096"), std::string::npos);
  EXPECT_NE(t.console.output.find("AREA.4097"), std::string::npos);
  EXPECT_EQ(t.console.beeps, 1);
  Manual("MSG ANOTHER C:\\X");
  EXPECT_EQ(t.console.beeps, 1);
}

TEST_F(AreaReadersTest, SortByTypeAndByName) {
  Manual("JAM B.JAM C:\\J\\B");
  Manual("MSG Z.MSG C:\\M\\Z");
  Manual("SQUISH A.SQ C:\\S\\A");
  Manual("HUDSON H.H 001C:\\H");
  Manual("MSG A.MSG C:\\M\\A");
  Manual("JAM A.JAM C:\\J\\A");
  AreaTable& areas = t.areas;
  SortAreas(areas, SortAreasMode::Unsorted);
  EXPECT_EQ(Tags(areas)[0], "B.JAM");
  SortAreas(areas, SortAreasMode::Type);
  EXPECT_EQ(Tags(areas),
            (std::vector<std::string>{"Z.MSG", "A.MSG", "H.H", "B.JAM", "A.JAM", "A.SQ"}));
  EXPECT_EQ(areas.FindArea("A.SQ"), 6);
  EXPECT_EQ(areas.FindAreaByAreaId("FC:\\M\\Z"), 1);

  areas.At(areas.FindArea("Z.MSG")).displayName = Cp866("ад");
  areas.At(areas.FindArea("H.H")).displayName = "a.ja";
  SortAreas(areas, SortAreasMode::Name);
  // Byte order after upper-casing: a prefix before the longer text, Cyrillic after Latin.
  EXPECT_EQ(Tags(areas),
            (std::vector<std::string>{"H.H", "A.JAM", "A.MSG", "A.SQ", "B.JAM", "Z.MSG"}));
}

TEST_F(AreaReadersTest, TheExchangeSortKeepsItsOrderOfEqualKeys) {
  for (const char* area : {"JAM A C:\\A", "JAM B C:\\B", "MSG C C:\\C"}) Manual(area);
  // Keys J J F: the first pass exchanges A with C, and nothing moves A back behind B.
  SortAreas(t.areas, SortAreasMode::Type);
  EXPECT_EQ(Tags(t.areas), (std::vector<std::string>{"C", "B", "A"}));
}

}  // namespace
}  // namespace vm
