#include "state/areas_list.h"

#include "state/state_fixture.h"
#include "text/cp866.h"

namespace vm {
namespace {

class AreasListTest : public StateFixture {};

TEST_F(AreasListTest, WritesSignedNumbersAndReadsThemBack) {
  int squish = AddArea("RU.UUE", "SC:\\FIDO\\SQ\\RU.UUE");
  int jam = AddArea("RU.BINARY", "JC:\\FIDO\\JAM\\BIN", 10);
  areas.At(squish).ResumeMessage = 1234;
  areas.At(squish).ResumeCheck = 0x80000001u;                   // top bit set: written negative
  areas.At(jam).SectionsLeftToday = static_cast<uint32_t>(-2);  // overdrawn by -Immed posts

  SaveAreaParameters(paths, areas);
  EXPECT_EQ(Read("areas.lst"),
            CrLf({"Veldmark area parameters file version 1", "SC:\\FIDO\\SQ\\RU.UUE",
                  "65535 1234 -2147483647", "JC:\\FIDO\\JAM\\BIN", "-2 0 0"}));

  for (int i = 1; i <= areas.Count(); ++i) {
    areas.At(i).ResumeMessage = 7;
    areas.At(i).ResumeCheck = 7;
  }
  LoadAreaParameters(paths, areas, log);
  EXPECT_EQ(areas.At(squish).ResumeMessage, 1234u);
  EXPECT_EQ(areas.At(squish).ResumeCheck, 0x80000001u);
  EXPECT_EQ(areas.At(jam).SectionsLeftToday, static_cast<uint32_t>(-2));
  EXPECT_EQ(areas.At(jam).ResumeMessage, 0u);
  EXPECT_TRUE(Log().empty());
}

TEST_F(AreasListTest, MatchesAreaIdsWithoutCaseAndDropsUnknownAreas) {
  int area = AddArea("RU.UUE", "SC:\\FIDO\\SQ\\RU.UUE", 5);
  Write("areas.lst", CrLf({"Veldmark area parameters file version 1", "sc:\\fido\\sq\\ru.uue",
                           "3 99 -5", "SC:\\FIDO\\SQ\\GONE", "1 2 3", "", "  "}));
  LoadAreaParameters(paths, areas, log);
  EXPECT_EQ(areas.At(area).SectionsLeftToday, 3u);
  EXPECT_EQ(areas.At(area).ResumeMessage, 99u);
  EXPECT_EQ(areas.At(area).ResumeCheck, static_cast<uint32_t>(-5));
  EXPECT_TRUE(Log().empty()) << "an unknown area and trailing blank lines are not damage";

  SaveAreaParameters(paths, areas);
  EXPECT_EQ(Read("areas.lst"),
            CrLf({"Veldmark area parameters file version 1", "SC:\\FIDO\\SQ\\RU.UUE", "3 99 -5"}));
}

TEST_F(AreasListTest, OtherVersionIsDeletedAndAreasStartFresh) {
  int area = AddArea("RU.UUE", "SC:\\FIDO\\SQ\\RU.UUE", 20);
  areas.At(area).SectionsLeftToday = 4;
  areas.At(area).ResumeMessage = 50;
  Write("areas.lst",
        CrLf({"Veldmark area parameters file version 0", "SC:\\FIDO\\SQ\\RU.UUE", "1 2 3"}));
  LoadAreaParameters(paths, areas, log);
  EXPECT_FALSE(dir.Exists("areas.lst"));
  EXPECT_EQ(areas.At(area).SectionsLeftToday, 20u);
  EXPECT_EQ(areas.At(area).ResumeMessage, 0u);
  EXPECT_EQ(areas.At(area).ResumeCheck, 0u);
}

TEST_F(AreasListTest, DamagedLinesAreSkippedAndLoggedWhileOtherEntriesApply) {
  int a = AddArea("A", "FC:\\A");
  int b = AddArea("B", "FC:\\B");
  int c = AddArea("C", "FC:\\C");
  std::string garbage("\x01\xff\x00zz", 5);
  Write("areas.lst",
        CrLf({"Veldmark area parameters file version 1", "FC:\\A", "1 11 111", "FC:\\B",
              "2 twelve 122", garbage, "FC:\\C", "", "3 13 133 ", "FC:\\A", "9 99999999999 1"}));
  LoadAreaParameters(paths, areas, log);
  EXPECT_EQ(areas.At(a).ResumeMessage, 11u) << "a number beyond 32 bits is not taken";
  EXPECT_EQ(areas.At(b).ResumeMessage, 0u);
  EXPECT_EQ(areas.At(b).SectionsLeftToday, kUnlimited);
  EXPECT_EQ(areas.At(c).ResumeMessage, 13u) << "the entry after the damage is found again";
  EXPECT_EQ(areas.At(c).ResumeCheck, 133u);
  std::string logText = Log();
  EXPECT_NE(logText.find("AREAS.LST" + Cp866(": строки 4-6 повреждены")), std::string::npos)
      << Cp866ToUtf8(logText);
  EXPECT_NE(logText.find("AREAS.LST" + Cp866(": строки 10-11 повреждены")), std::string::npos)
      << Cp866ToUtf8(logText);
}

}  // namespace
}  // namespace vm
