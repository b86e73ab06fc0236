// The layouts of the new-files report, the run's files.bbs header and the .dsc files.
#include <gtest/gtest.h>

#include "config/area_table.h"
#include "decode/dsc_file.h"
#include "decode/report.h"
#include "decode_fixture.h"
#include "state/msgid_serial.h"
#include "support/platform_temp_dir.h"
#include "text/cp866.h"

namespace vm {
namespace {

using Lines = std::vector<std::string>;

TEST(ReportLayout, SizesAboveSevenDigitsAreKilobytes) {
  EXPECT_EQ(FormatSize(0), "0");
  EXPECT_EQ(FormatSize(9999999), "9999999");
  EXPECT_EQ(FormatSize(10000000), "9765K");
  EXPECT_EQ(FormatSize(12345678), "12056K");
  EXPECT_EQ(FormatSize(5000000000), "4882812K");  // past 32 bits
}

TEST(ReportLayout, FileLinesAndSeparators) {
  EXPECT_EQ(
      ReportFileLines("PACK.ZIP", 3, 3, 12345, {"Test archive", "second"}),
      (Lines{"  PACK.ZIP     [3/3]    12345    Test archive", std::string(33, ' ') + "second"}));
  // Long names and counts are cut to their fields; the description stays at column 34.
  const Lines wide = ReportFileLines("VERYLONGNAME.EXT", 1234, 5678, 123456789012, {"d"});
  EXPECT_EQ(wide[0].size(), 34u);
  EXPECT_EQ(wide[0].substr(33), "d");

  const std::string report = BoxSeparator(38);
  EXPECT_EQ(report.size(), 79u);
  EXPECT_EQ(report.substr(0, 3), "=\xC4\xCD");
  EXPECT_EQ(report.substr(75), "\xC4\xCD\xC4=");
  EXPECT_EQ(BoxSeparator(37).size(), 77u);
}

TEST(ReportLayout, MsgIdSerials) {
  // (2036 * 355 + 3 * 30 + 7) days, 9:05:01, shifted by 7 bits, the hundredths below.
  EXPECT_EQ(
      MsgIdSerialOf(DateTime{2026, 3, 7, 9, 5, 1}, 42),
      ((uint32_t{2036} * 355 * 86400 + 3 * 30 * 86400 + 7 * 86400 + 9 * 3600 + 5 * 60 + 1) << 7) |
          42u);
  MsgIdSerialSource source;
  const std::string a = source.MsgIdSerial();
  const std::string b = source.MsgIdSerial();
  EXPECT_EQ(a.size(), 8u);
  EXPECT_EQ(a.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_NE(a, b);
}

TEST(ReportLayout, RunFilesBbsWithoutReportArea) {
  ScopedTempDir root;
  Settings settings;
  settings.ROOT = root.path();
  settings.FILESBBS = FilesBbsMode::Rewrite;
  AreaTable areas;
  FakeConsole console;
  RunLog log;
  MsgIdSerialSource serials;
  {
    NewFilesReport report(settings, areas, console, log, serials);
    report.Begin(DateTime{2026, 3, 7, 9, 5, 1});
    // An area whose files were all lost leaves no trace in the list.
    report.AreaHeader("RU.EMPTY", "  scan", 1);
    report.AreaEnd();
    report.AreaHeader("RU.FILES", "  scan", 2);
    report.ListFile("PACK.ZIP", {"Test archive", "second"});
    report.End();
  }
  EXPECT_EQ(Cp866ToUtf8(root.ReadFile("files.bbs")),
            "; Veldmark v1.61.40\r\n"
            "; Отчет создан 03-07-26 в 09:05:01\r\n"
            "\r\n"
            "; RU.FILES - найдено 2 файла(ов).\r\n"
            "PACK.ZIP      Test archive\r\n"
            "              second\r\n"
            "\r\n");
  EXPECT_EQ(Cp866ToUtf8(console.output),
            "\r  scan - найдено 1 файла(ов).\n\r  scan - найдено 2 файла(ов).\n");

  // FILESBBS OFF, or a run that keeps no file even under REWRITE, leaves ROOT's list alone.
  for (FilesBbsMode mode : {FilesBbsMode::Off, FilesBbsMode::Rewrite}) {
    settings.FILESBBS = mode;
    NewFilesReport later(settings, areas, console, log, serials);
    later.Begin(DateTime{2026, 3, 8, 0, 0, 0});
    if (mode == FilesBbsMode::Off) later.ListFile("NEW.ZIP", {"New"});
    later.AreaEnd();
    later.End();
    EXPECT_NE(root.ReadFile("files.bbs").find("03-07-26"), std::string::npos);
  }
}

class DscFile : public ::testing::Test, public test::DecodeFixture {
 protected:
  FoundFile FileIn(int32_t message) {
    FoundFile file;
    file.name = "PACK.ZIP";
    file.subject = "Pack of files";
    file.fromAddress = NetAddress{2, 5020, 1, 0};
    file.sections = {{0, 0}, {message, 190}};
    return file;
  }
};

TEST_F(DscFile, HeaderThenTextUpToTheSection) {
  MemoryMessage& m = base.Add({"\x01MSGID: 2:5020/1 1", "Hello All,", "here it is.", "",
                               "section 2 of 2 of file pack.zip < uuencoded >", "",
                               "M" + std::string(60, 'A'), "M" + std::string(60, 'A')});
  m.from = "Ivan Poster";
  m.to = "All";
  DecodeSession session = Unattended();
  const auto text = DscText(session, base, FileIn(m.number), "pack.zip");
  ASSERT_TRUE(text);
  EXPECT_EQ(Cp866ToUtf8(*text),
            "Файл:    PACK.ZIP\r\n"
            "От кого: Ivan Poster                    2:5020/1\r\n"
            "Кому:    All                           \r\n"
            "Тема:    Pack of files\r\n" +
                Cp866ToUtf8(BoxSeparator(37)) +
                "\r\n"
                "Hello All,\r\nhere it is.\r\n\r\n");

  FoundFile addressed = FileIn(m.number);
  addressed.toAddress = NetAddress{2, 5020, 9999, 1};
  const auto withTo = DscText(session, base, addressed, "pack.zip");
  ASSERT_TRUE(withTo);
  EXPECT_NE(withTo->find("All                            2:5020/9999.1\r\n"), std::string::npos);
}

TEST_F(DscFile, GoneMessageGivesNoFileAndDscNamesAreSafe) {
  base.Add({"text"});
  base.Add({"more"});
  DecodeSession session = Unattended();
  EXPECT_FALSE(DscText(session, base, FileIn(7), "pack.zip"));
  base.messages.erase(base.messages.begin());
  EXPECT_FALSE(DscText(session, base, FileIn(1), "pack.zip"));  // not message 2 instead

  EXPECT_EQ(DscPathFor("C:\\FILES", "PACK.ZIP"), "C:\\FILES\\PACK.dsc");
  EXPECT_EQ(DscPathFor("C:\\FILES", "README"), "C:\\FILES\\README.dsc");
  EXPECT_EQ(DscPathFor("C:\\FILES", "notes.DSC"), "");  // would overwrite the file itself
}

}  // namespace
}  // namespace vm
