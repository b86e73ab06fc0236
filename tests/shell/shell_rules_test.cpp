// The shell's rules without a screen: quick-search masks and the search order, which
// commands the panels enable, and the information window's four forms.
#include <gtest/gtest.h>

#include "config/area_table.h"
#include "config/settings.h"
#include "decode/file_info.h"
#include "decode/found_file.h"
#include "decode/memory_base.h"
#include "shell/command_rules.h"
#include "shell/quick_search.h"
#include "text/cp866.h"

namespace vm::shell {
namespace {

TEST(QuickSearch, MasksFromTheTypedText) {
  const std::pair<const char*, const char*> files[] = {{"a", "a*.*"},
                                                       {"ab.c", "ab*.c*"},
                                                       {".c", ".c*"},
                                                       {"abcdefgh", "abcdefgh*.*"},
                                                       {"abcdefgh.", "abcdefgh*.*"},
                                                       {"a.", "a*.*"}};
  for (const auto& [typed, mask] : files) EXPECT_EQ(FileSearchMask(typed), mask) << typed;
  EXPECT_EQ(AreaSearchMask("RU."), "RU.*");
}

TEST(QuickSearch, NamesWithoutAnExtensionMatchAsIfTheyHadAnEmptyOne) {
  const struct {
    const char* name;
    const char* typed;
    bool matches;
  } cases[] = {{"OUT", "o", true},         {"DEC1", "d", true},    {"DEC1", "dec1", true},
               {"readme", "r", true},      {"out.txt", "o", true}, {"OUT", "x", false},
               {"OUT", "out.t", false},    {"OUT", "out.", true},  {"a.b.c", "a.b", true},
               {"noext", "noext.x", false}};
  for (const auto& c : cases)
    EXPECT_EQ(MatchesSearchMask(c.name, FileSearchMask(c.typed)), c.matches)
        << c.name << " " << c.typed;
}

TEST(QuickSearch, TakesAtMostEightAndThreeCharactersOfANameAnd37OfAnArea) {
  EXPECT_TRUE(SearchTextAccepts("abcdefg", 'h', false));
  EXPECT_FALSE(SearchTextAccepts("abcdefgh", 'i', false));
  EXPECT_TRUE(SearchTextAccepts("abcdefgh", '.', false));
  EXPECT_FALSE(SearchTextAccepts("a.zip", 'x', false));
  EXPECT_TRUE(SearchTextAccepts("a.z", 'i', false));
  EXPECT_FALSE(SearchTextAccepts("a.z", '.', false));
  EXPECT_TRUE(SearchTextAccepts(std::string(36, 'a'), 'a', true));
  EXPECT_FALSE(SearchTextAccepts(std::string(37, 'a'), 'a', true));
}

TEST(QuickSearch, FromTheCursorThenFromTheFirstSearchableEntry) {
  const std::vector<std::string> names = {"", "alpha.zip", "beta.zip", "alpine.txt", "gamma"};
  auto search = [&](int cursor, int first, const std::string& mask) {
    return QuickSearch(static_cast<int>(names.size()) - 1, cursor, first,
                       [&](int i) { return names[static_cast<size_t>(i)].rfind(mask, 0) == 0; });
  };
  EXPECT_EQ(search(1, 1, "alp"), 1) << "the cursor entry first";
  EXPECT_EQ(search(2, 1, "alp"), 3);
  EXPECT_EQ(search(4, 1, "alp"), 1) << "then from the first entry";
  EXPECT_EQ(search(4, 2, "alp"), 3) << "the found-file list starts after the exit row";
  EXPECT_EQ(search(2, 1, "zzz"), 0);
}

TEST(CommandRules, EnablingByPanelState) {
  struct Case {
    PanelFacts facts;
    CommandStates states;  // encode, decode, remove, deCode, information
  };
  const Case cases[] = {
      {{true, false, 0}, {}},                               // a directory under the cursor
      {{true, true, 0}, {true, false, true, true, true}},   // a file
      {{true, false, 2}, {true, false, true, true, true}},  // a selection
      {{false, false, 0, false}, {false, false, false, false, true}},  // the area list
      {{false, false, 0, true, true, 0}, {}},                          // the exit row
      {{false, false, 0, true, true, 1}, {false, true, true, true, true}},
      {{false, false, 0, true, false, 0}, {false, true, true, true, true}},
      {{false, false, 0, true, false, 0, true}, {false, true, false, true, true}},  // text file
  };
  for (const Case& c : cases) {
    const CommandStates s = EnabledCommands(c.facts);
    EXPECT_EQ(s.encode, c.states.encode);
    EXPECT_EQ(s.decode, c.states.decode);
    EXPECT_EQ(s.remove, c.states.remove);
    EXPECT_EQ(s.deCode, c.states.deCode);
    EXPECT_EQ(s.information, c.states.information);
  }
}

struct FileInfoTest : ::testing::Test {
  FileInfoTest() {
    area.displayName = "Files here";
    area.tag = "RU.FILES";
    area.areaId = "FC:\\FIDO\\RUFILES";
    MemoryMessage& m = base.Add({"text"});
    m.from = "Alexander Ivanov";
    m.to = "All";
    m.orig = NetAddress{2, 5020, 1, 0};
    m.dest = NetAddress{2, 5020, 9999, 0};
    file.name = "SETUP.ZIP";
    file.subject = "SETUP.ZIP [1/5]";
    file.kind = EncodingKind::Uu;
    file.total = 5;
    file.present = 3;
    file.sections = {{1, 0}, {1, 0}, {0, 0}, {1, 0}, {0, 0}};
  }
  AreaEntry area;
  MemoryBase base;
  FoundFile file;
};

TEST_F(FileInfoTest, FoundFileInAnEchomailArea) {
  const FileInfoText info = FoundFileInfo(base, file, &area, {});
  EXPECT_EQ(info.title, "SETUP.ZIP");
  EXPECT_EQ(info.lines[0], Cp866("Конференция: Files here (RU.FILES)"));
  EXPECT_EQ(info.lines[1], Cp866("От кого: Alexander Ivanov        2:5020/1"));
  EXPECT_EQ(info.lines[2], Cp866("Кому:    All                   ")) << "no address in echomail";
  EXPECT_EQ(info.lines[3], Cp866("Тема:    SETUP.ZIP [1/5]"));
  EXPECT_EQ(info.lines[4], Cp866("Тип:     UU"));
  EXPECT_EQ(info.lines[5], "\x8E\xE2\xE1\xE3\xE2\xE1\xE2\xA2\xE3\xEE\xE2 c" + Cp866("екции: 3 5"));
}

TEST_F(FileInfoTest, FoundFileInNetmailAndATextFileAndACrackBlock) {
  area.netmail = 1;
  file.present = 5;
  file.kind = EncodingKind::OwnText;
  FileInfoText info = FoundFileInfo(base, file, &area, {});
  EXPECT_EQ(info.lines[2], Cp866("Кому:    All                     2:5020/9999"));
  EXPECT_EQ(info.lines[4], Cp866("Тип:     текст (Veldmark)"));
  EXPECT_EQ(info.lines[5], Cp866("Все секции присутствуют"));
  file.kind = EncodingKind::Crack;
  file.key = "CRACK\x11Program 2.0\x10";
  info = FoundFileInfo(base, file, nullptr, "/home/fido/in/post.txt");
  EXPECT_EQ(info.lines[0], Cp866("Файл POST.TXT"));
  EXPECT_EQ(info.lines[5], Cp866("Описание: Program 2.0"));
}

TEST_F(FileInfoTest, AreaAndTextFileForms) {
  area.SectionsPerDay = 10;
  area.SectionsLeftToday = 4;
  FileInfoText info = AreaInfo(area);
  EXPECT_EQ(info.title, Cp866("Информация о конференции"));
  EXPECT_EQ(info.lines[1], Cp866("Тип: Fido/*.msg"));
  EXPECT_EQ(info.lines[2], Cp866("Путь: C:\\FIDO\\RUFILES"));
  EXPECT_EQ(info.lines[3], Cp866("Секций в сутки (из .ctl):                     10"));
  EXPECT_EQ(info.lines[4], Cp866("Секций в сутки (возможные сегодня):            4"));
  EXPECT_EQ(info.lines[5], "");
  area.areaId = "H012C:\\HUDSON";
  area.SectionsPerDay = kUnlimited;
  info = AreaInfo(area);
  EXPECT_EQ(info.lines[1], Cp866("Тип: Hudson"));
  EXPECT_EQ(info.lines[2], Cp866("Путь: C:\\HUDSON")) << "the board number is removed";
  EXPECT_EQ(info.lines[3], Cp866("Секций в сутки (из .ctl):           неограничено"));
  EXPECT_EQ(info.lines[4], Cp866("Секций в сутки (возможные сегодня): неограничено"));

  info = TextFileInfo("/in/post.txt", 7);
  EXPECT_EQ(info.lines[1], Cp866("Тип: текстовый файл"));
  EXPECT_EQ(info.lines[2], Cp866("Путь: /in/post.txt"));
  EXPECT_EQ(info.lines[3], Cp866("Всего кодированных сообщений:                  7"));
}

TEST_F(FileInfoTest, DirectoryEstimate) {
  Settings settings;
  settings.LINESPERSEC = 100;
  area.SectionsPerDay = 3;
  DirectoryInfoRequest request;
  request.area = &area;
  request.fileName = "big.zip";
  request.size = 4501;  // UU: 4500 bytes a section, so 2 sections
  request.flags = kEncodeUu;
  FileInfoText info = DirectoryInfo(request, settings);
  EXPECT_EQ(info.title, "big.zip");
  EXPECT_EQ(info.lines[1], Cp866("Число строк в секции:                        100"));
  EXPECT_EQ(info.lines[2], Cp866("Число секций в сутки:                          3"));
  EXPECT_EQ(info.lines[3], Cp866("Размер:                                4501 байт"));
  EXPECT_EQ(info.lines[4], Cp866("Число секций:                                  2"));
  EXPECT_EQ(info.lines[5], Cp866("Число суток для посылки:                       1"));
  request.selectedCount = 3;
  request.size = 5701 * 3;  // MIME: 5700 bytes a section, so 4 sections, 2 days
  request.flags = kEncodeMime;
  info = DirectoryInfo(request, settings);
  EXPECT_EQ(info.title, Cp866("3 файла(ов)"));
  EXPECT_EQ(info.lines[4], Cp866("Число секций:                                  4"));
  EXPECT_EQ(info.lines[5], Cp866("Число суток для посылки:                       2"));
  request.size = 0;
  request.flags = 0;  // text sections
  info = DirectoryInfo(request, settings);
  EXPECT_EQ(info.lines[5], Cp866("Число суток для посылки:                сразу же"));
}

}  // namespace
}  // namespace vm::shell
