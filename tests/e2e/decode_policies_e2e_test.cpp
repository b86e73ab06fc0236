// /All and /Decode under the settings that decide what happens to a decoded file and to its
// messages: DUPES, DELETEBAD, DELETEDECODED, DECODEYOURS, file routes, excluded and broken
// areas, and names that try to reach the shell.
#include <gtest/gtest.h>

#include "decode_node.h"

namespace vm::test {
namespace {

const std::string kData = TestBytes(2500, 3);

std::vector<Lines> Sections(const std::string& name = "pack.zip", const std::string& data = kData) {
  return UuSections(data, name, 20);
}

// One character of a data line of section 2 changed: its checksum no longer matches.
std::vector<Lines> DamagedSections() {
  std::vector<Lines> sections = Sections();
  for (std::string& line : sections[1])
    if (line.size() == 61 && line[0] == 'M') {
      line[30] = line[30] == 'A' ? 'B' : 'A';
      break;
    }
  return sections;
}

TEST(DecodePolicies, DupesPolicies) {
  struct Case {
    const char* setting;
    const char* logLine;
    const char* areaFile;  // what PACK.ZIP holds afterwards ("new" for the decoded bytes)
    bool inDupes;
  };
  for (const Case& c : {Case{"DUPES delete", "      Оставлен старый файл", "old", false},
                        Case{"DUPES move", "      Перемещен в \\DUPES", "old", true},
                        Case{"DUPES overwrite", "    Записан новый файл", "new", false}}) {
    DecodeNode node({c.setting});
    node.node().dir().WriteFile("FILES/pack.zip", "old");
    node.node().dir().WriteFile("FILES/DUPES/PACK.ZIP", "older");
    node.Post("rufiles", Poster{}, Sections());
    ProgramRun run = node.Run({"/All"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(Contains(run.output, "    PACK.ZIP             [3/3] - Ok\n")) << c.setting;
    const std::string expected = std::string(c.areaFile) == "new" ? kData : "old";
    EXPECT_TRUE(node.Read("FILES/pack.zip") == expected || node.Read("FILES/PACK.ZIP") == expected)
        << c.setting;
    EXPECT_TRUE(node.Read("FILES/DUPES/PACK.ZIP") == (c.inDupes ? kData : "older")) << c.setting;
    const std::string log = node.ReadUtf8("VELDMARK.LOG");
    const size_t status = log.find("    PACK.ZIP             [3/3] - Ok\r\n");
    const size_t policy = log.find(" " + std::string(c.logLine) + "\r\n");
    EXPECT_TRUE(status != std::string::npos && policy != std::string::npos && status < policy)
        << c.setting << log;
    // No temporary file stays behind.
    for (const auto& entry : fs::directory_iterator(node.Path("FILES")))
      EXPECT_NE(entry.path().extension(), ".$$$") << c.setting;
  }
}

TEST(DecodePolicies, DeleteBadErasesDamagedFilesAndAllowsTheRepostingLater) {
  for (bool deleteBad : {true, false}) {
    DecodeNode node({deleteBad ? "DELETEBAD yes" : "DELETEBAD no"});
    node.Post("rufiles", Poster{}, DamagedSections());
    ProgramRun run = node.Run({"/All"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(Contains(run.output, "    PACK.ZIP             [3/3] - Ошибка\n")) << run.output;
    EXPECT_EQ(node.Exists("FILES/PACK.ZIP"), !deleteBad);
    const std::string log = node.ReadUtf8("VELDMARK.LOG");
    EXPECT_EQ(Contains(log, "[3/3] - Ошибка\r\n") && Contains(log, "    Удален\r\n"), deleteBad)
        << log;
    EXPECT_TRUE(Contains(log, "CRC секции не совпадают. Секция 2")) << log;
    // A damaged file gets no files.bbs entry, whether it is kept or not.
    EXPECT_FALSE(Contains(node.Read("FILES/files.bbs"), "PACK.ZIP"));

    // The sound posting that follows: a damaged file, erased or kept, was never remembered,
    // so the history does not hold the sound one back.
    EXPECT_FALSE(Contains(node.Read("VELDMARK.DUP"), "PACK.ZIP"));
    Poster second;
    second.name = "Maria Sidorova";
    second.date = "03-05-26";
    node.Post("rufiles", second, Sections());
    run = node.Run({"/All"});
    EXPECT_TRUE(Contains(run.output, "    PACK.ZIP             [3/3] - Ok\n")) << run.output;
    if (deleteBad) {
      EXPECT_TRUE(node.Read("FILES/PACK.ZIP") == kData);
    }
  }
}

TEST(DecodePolicies, DeleteDecodedTakesExactlyTheCleanSections) {
  DecodeNode node({"DELETEDECODED yes"});
  const int32_t plain = node.Write("rufiles", Poster{}, "Hello", {"Just a message."});
  const std::vector<int32_t> damaged = node.Post("rufiles", Poster{}, DamagedSections());
  Poster other;
  other.name = "Maria Sidorova";
  const std::vector<int32_t> clean = node.Post("rufiles", other, Sections("clean.zip"));
  const std::vector<int32_t> incomplete =
      node.Post("rufiles", other, {Sections("part.zip")[0], Sections("part.zip")[2]});

  ProgramRun run = node.Run({"/All"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  // Left: the plain message, the damaged section's message and the last one (whose "entire"
  // line no longer matches), the incomplete file; gone: every other section of both decoded
  // files.
  EXPECT_EQ(node.Messages("rufiles"),
            (std::vector<int32_t>{plain, damaged[1], damaged[2], incomplete[0], incomplete[1]}));
  EXPECT_TRUE(node.Read("FILES/CLEAN.ZIP") == kData);
}

TEST(DecodePolicies, OwnPostingsOnlyWithDecodeYours) {
  for (bool decodeYours : {false, true}) {
    DecodeNode node({decodeYours ? "DECODEYOURS yes" : "DECODEYOURS no", "AKA 2:5020/100.1"});
    Poster self;
    self.address = "2:5020/100";
    Poster point;
    point.address = "2:5020/100.1";
    point.name = "Point";
    node.Post("rufiles", self, Sections("mine.zip"));
    node.Post("rufiles", point, Sections("point.zip"));
    node.Post("rufiles", Poster{}, Sections("theirs.zip"));
    ProgramRun run = node.Run({"/All"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(node.Exists("FILES/MINE.ZIP"), decodeYours);
    EXPECT_EQ(node.Exists("FILES/POINT.ZIP"), decodeYours);
    EXPECT_TRUE(node.Exists("FILES/THEIRS.ZIP"));
    if (!decodeYours) {
      run = node.Run({"/All", "-ScanAll", "-AnyWay"});
      EXPECT_TRUE(node.Exists("FILES/MINE.ZIP")) << run.output;
    }
  }
}

TEST(DecodePolicies, FileRouteAndAllFixLists) {
  if (!fs::exists("/usr/bin/unzip")) GTEST_SKIP() << "unzip is not installed";
  ScopedTempDir scratch;
  const std::string zip = ZipWithFileIdDiz(scratch, 1500);
  if (zip.empty()) GTEST_SKIP() << "zip is not installed";
  DecodeNode node(
      {"RECEIVEMODE advanced", "ALLFIXFILESBBS yes", "ARCHIVER zip \"unzip -o -j -C %1 %2 -d %3\""},
      "AREA RU.FILES\r\n  FILES *.ZIP zips\\all");
  // The routed archive is the area's first file: it follows its route all the same.
  node.Post("rufiles", Poster{}, Sections("pack.zip", zip), "The pack");
  node.Post("rufiles", Poster{}, Sections("notes.txt"), "Some notes");
  ProgramRun run = node.Run({"/All"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(node.Read("zips/all/PACK.ZIP") == zip) << "the route's directory as written";
  EXPECT_TRUE(node.Read("FILES/RUFILES/NOTES.TXT") == kData);
  EXPECT_FALSE(node.Exists("FILES/RUFILES/PACK.ZIP"));
  // Both lists are the area's, wherever the files went.
  const std::string entries =
      "PACK.ZIP Test archive v1.0\r\n>Second line\r\nNOTES.TXT Subj: Some notes\r\n";
  EXPECT_EQ(node.ReadUtf8("FILES/RUFILES/files.bbs"), entries);
  EXPECT_TRUE(Contains(node.ReadUtf8("FILES/files.bbs"),
                       "; RU.FILES - найдено 2 файла(ов).\r\n" + entries));
}

TEST(DecodePolicies, BrokenAreaIsReportedAndExcludedAreaOnlyByDecode) {
  DecodeNode node({"AREA MSG RU.GONE areas\\gone", "AREA MSG RU.QUIET areas\\quiet"},
                  "AREA RU.QUIET\r\n  EXCLUDE yes");
  node.node().dir().MakeDirectory("areas/quiet");
  node.Post("rufiles", Poster{}, Sections("open.zip"));
  node.Post("quiet", Poster{}, Sections("quiet.zip"));

  ProgramRun run = node.Run({"/All"});
  ASSERT_EQ(run.exitCode, 4) << "an area not reached: " << run.output;
  EXPECT_TRUE(Contains(run.output, "  Сканирую RU.GONE" + std::string(33, ' ') +
                                       " - нет доступа к базе: нет каталога (код 500)\n"))
      << run.output;
  EXPECT_TRUE(Contains(node.ReadUtf8("VELDMARK.LOG"),
                       "Нет доступа к RU.GONE - Fareas\\gone: нет каталога (код 500)\r\n"))
      << node.ReadUtf8("VELDMARK.LOG");
  EXPECT_TRUE(node.Exists("FILES/OPEN.ZIP"));
  EXPECT_FALSE(Contains(run.output, "RU.QUIET"));
  EXPECT_FALSE(node.Exists("FILES/QUIET.ZIP"));

  run = node.Run({"/Decode", "ru.quiet"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(node.Exists("FILES/QUIET.ZIP"));
  EXPECT_FALSE(Contains(run.output, "Всего раскодировано")) << run.output;
  // The work directory is gone after both modes.
  EXPECT_FALSE(node.Exists("$veldm$.###"));
}

TEST(DecodePolicies, NamesFromPostingsNeverReachTheShell) {
  if (!fs::exists("/usr/bin/unzip")) GTEST_SKIP() << "unzip is not installed";
  ScopedTempDir scratch;
  const std::string zip = ZipWithFileIdDiz(scratch, 100);
  if (zip.empty()) GTEST_SKIP() << "zip is not installed";
  DecodeNode node({"ARCHIVER zip \"unzip -o -j -C %1 %2 -d %3\""});
  int n = 0;
  for (const char* name :
       {"`>PWN1`.zip", "$(>PWN2).zip", "|>PWN3&.zip", "'>PWN4'.zip", "-o.zip", "..\\..\\x.zip"}) {
    Poster poster;
    poster.name = "Poster " + std::to_string(++n);
    node.Post("rufiles", poster, Sections(name, zip));
  }
  ProgramRun run = node.Run({"/All"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(Contains(run.output, "  Найдено файлов: 6  Раскодировано: 6")) << run.output;
  // A shell that ran any part of a name would have made a file named by its redirection.
  for (const auto& entry : fs::recursive_directory_iterator(node.node().path())) {
    const std::string file = entry.path().filename().string();
    EXPECT_FALSE(file.size() == 4 && file.rfind("PWN", 0) == 0) << entry.path();
  }
  // Every file got its description from its own archive, and none left the directory.
  const std::string list = node.ReadUtf8("FILES/files.bbs");
  size_t descriptions = 0;
  for (size_t at = list.find("Test archive v1.0"); at != std::string::npos;
       at = list.find("Test archive v1.0", at + 1))
    ++descriptions;
  EXPECT_EQ(descriptions, 6u) << list;
  EXPECT_FALSE(fs::exists(node.Path("X.ZIP")));
  EXPECT_TRUE(node.Exists("FILES/X.ZIP"));
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

TEST(DecodeReport, PostedIntoJamAndSquishAreasAsWell) {
  for (const char* type : {"JAM", "SQUISH"}) {
    DecodeNode node(
        {std::string("AREA ") + type + " REPORTS areas\\rep\\reports", "REPORTAREA reports"},
        "AREA REPORTS\r\n  EXCLUDE yes");
    node.Post("rufiles", Poster{}, Sections());
    ProgramRun run = node.Run({"/All"});
    ASSERT_EQ(run.exitCode, 0) << type << run.output;
    MessageBaseHandle base;
    ASSERT_TRUE(OpenMessageArea(std::string(1, type[0]) + node.Path("AREAS/REP/REPORTS"), base))
        << type;
    base->SeekFrom(1);
    ASSERT_TRUE(base->Found()) << type;
    base->LoadHeader();
    EXPECT_EQ(base->FromName(), "Veldmark v1.61.40") << type;
    EXPECT_EQ(base->ToName(), "Ivan Petrov") << type;
    EXPECT_EQ(Cp866ToUtf8(base->Subject()), "Отчет о новых файлах") << type;
    EXPECT_TRUE(base->IsLocal()) << type;
    std::string text;
    base->StartReading();
    while (!base->TextEnded()) text += Cp866ToUtf8(base->NextLine(255)) + "\n";
    EXPECT_TRUE(Contains(text, "Область RU.FILES - найдено 1 файла(ов).\n\n  PACK.ZIP     [3/3]"))
        << type << text;
    EXPECT_TRUE(Contains(text, " * Origin: Default Origin (2:5020/100)")) << type << text;
    CloseMessageArea(base);
  }
}

}  // namespace
}  // namespace vm::test
