#include "config/settings_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/fatal.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "support/fake_console.h"
#include "support/platform_temp_dir.h"
#include "text/cp866.h"

namespace vm {
namespace {

// Two lines every usable settings file needs; tests add theirs after them (from line 3 on).
const std::string kRequired = "NAME \"Ivan Petrov\"\r\nADDRESS 2:5020/100\r\n";

class SettingsReaderTest : public ::testing::Test {
 protected:
  SettingsReaderTest() {
    node.WriteFile("AREADEFS.CTL", ";\r\n");
    paths.ProgramDir = ProgramPathFromHost(node.path()) + "/";
    paths.StartDir = CurrentDirectory();
    paths.TempDir = paths.ProgramDir;
  }

  // Writes VELDMARK.CTL with exactly these bytes and reads it.
  bool ReadFile(const std::string& bytes) {
    node.WriteFile("VELDMARK.CTL", bytes);
    return ReadSettings(paths, settings, areas, log, console);
  }
  void Read(const std::string& lines) { ASSERT_TRUE(ReadFile(kRequired + lines)); }

  // The message of the FatalStop that reading these lines raises ("" when none).
  std::string FatalMessage(const std::string& lines) {
    try {
      ReadFile(kRequired + lines);
    } catch (const FatalStop& stop) {
      return stop.Message();
    }
    return "";
  }

  // The program path of a directory in the node, upper-cased as a settings value would be.
  std::string NodePath(const std::string& relative) const {
    return UpCaseCp866(paths.ProgramDir + relative);
  }

  ScopedTempDir node;
  ProgramPaths paths;
  Settings settings;
  AreaTable areas;
  RunLog log;
  FakeConsole console;
};

// A string literal with its NUL bytes, without the terminating one.
template <size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

std::string ValueError(int line, const std::string& keyword) {
  return Cp866("VELDMARK.CTL строка ") + std::to_string(line) + Cp866(": Ошибка в параметре ") +
         keyword;
}

TEST_F(SettingsReaderTest, ReadsEveryKindOfValue) {
  Read(
      "useid yes\r\n"
      "RECEIVEMODE advanced\r\n"
      "DUPES move\n"  // LF alone ends a line as well
      "SHOWHIDDEN yes ; a comment after the value\r\n"
      "SORTAREAS name;comment right after the value\r\n"
      "FILESBBS rewrite\r\n"
      "HSUBST no\r\n"
      "SWAPPING ems\r\n"
      "LINESPERSEC 1000\r\n"
      "HEADERLINES 5\r\n"
      "TEMPPATH " +
      NodePath("out") +
      "\r\n"
      "ROOT " +
      NodePath("files\\") +
      "\r\n"
      "REPORTAREA ru.test\r\n"
      "AREA MSG Ru.Test " +
      NodePath("ru.test") +
      "\r\n"
      "PACKER \"zip -9 %1 %2\" extra\r\n"
      "TEMP c:\\tmp\r\n"
      "SHOWHIDDEN yes\r\n"
      "DELETEBAD Yes");  // no line end at the end of the file
  EXPECT_TRUE(settings.USEID);
  EXPECT_EQ(settings.RECEIVEMODE, ReceiveMode::Advanced);
  EXPECT_EQ(settings.DUPES, DupesPolicy::Move);
  EXPECT_TRUE(settings.SHOWHIDDEN);
  EXPECT_EQ(settings.SORTAREAS, SortAreasMode::Name);
  EXPECT_EQ(settings.FILESBBS, FilesBbsMode::Rewrite);
  EXPECT_FALSE(settings.HSUBST);
  EXPECT_EQ(settings.SWAPPING, "EMS");
  EXPECT_EQ(settings.LINESPERSEC, 1000);
  EXPECT_EQ(settings.bytesPerSection, 45000);
  EXPECT_EQ(settings.HEADERLINES, 5);
  EXPECT_EQ(settings.TEMPPATH, NodePath("OUT\\"));
  EXPECT_EQ(settings.ROOT, NodePath("FILES"));
  EXPECT_TRUE(node.Exists("OUT"));  // both created with all missing parents
  EXPECT_TRUE(node.Exists("FILES"));
  EXPECT_EQ(settings.REPORTAREA, "RU.TEST");
  EXPECT_EQ(settings.PACKER, "zip -9 %1 %2");
  EXPECT_EQ(paths.TempDir, "c:\\tmp\\") << "paths keep the sysop's spelling";
  EXPECT_TRUE(settings.DELETEBAD);
  EXPECT_EQ(settings.NAME, "Ivan Petrov");
  EXPECT_EQ(settings.ADDRESS, "2:5020/100");
  EXPECT_EQ(console.output, "");                  // no warnings
  EXPECT_EQ(CurrentDirectory(), paths.StartDir);  // back after TEMPPATH was made current
}

TEST_F(SettingsReaderTest, DefaultsWhenKeywordsAreAbsent) {
  Read("");
  EXPECT_EQ(settings.RECEIVEMODE, ReceiveMode::Standard);
  EXPECT_EQ(settings.DUPES, DupesPolicy::Delete);
  EXPECT_EQ(settings.FILESBBS, FilesBbsMode::Append);
  EXPECT_TRUE(settings.HSUBST);
  EXPECT_EQ(settings.LINESPERSEC, 120);
  EXPECT_EQ(settings.bytesPerSection, 120 * 45);
  EXPECT_EQ(settings.HEADERLINES, 2147483647);
  EXPECT_FALSE(log.Enabled());
}

TEST_F(SettingsReaderTest, ValueErrorsNameTheLineAndTheKeyword) {
  // Comment, blank and empty lines count for the line numbers.
  EXPECT_EQ(FatalMessage("; comment\r\n   \r\nRECEIVEMODE maybe\r\n"),
            ValueError(5, "RECIEVEMODE"));
  EXPECT_EQ(FatalMessage("\r\nLINESPERSEC 1\r\n"), ValueError(4, "LINESPERSEC"));
  EXPECT_EQ(FatalMessage("LINESPERSEC 1001\r\n"), ValueError(3, "LINESPERSEC"));
  EXPECT_EQ(FatalMessage("LINESPERSEC 12x\r\n"), ValueError(3, "LINESPERSEC"));
  EXPECT_EQ(FatalMessage("HEADERLINES 4\r\n"), ValueError(3, "HEADERLINES"));
  EXPECT_EQ(FatalMessage("HEADERLINES 99999999999\r\n"), ValueError(3, "HEADERLINES"));
  EXPECT_EQ(FatalMessage("HIDEARC on\r\n"), ValueError(3, "HIDEARC"));
  EXPECT_EQ(FatalMessage("DUPES keep\r\n"), ValueError(3, "DUPES"));
  EXPECT_EQ(FatalMessage("SORTAREAS size\r\n"), ValueError(3, "SORTAREAS"));
  EXPECT_EQ(FatalMessage("SWAPPING disk\r\n"), ValueError(3, "SWAPPING"));
  EXPECT_EQ(FatalMessage("FILESBBS on\r\n"), ValueError(3, "FILESBBS"));
  EXPECT_EQ(FatalMessage("NAME \"\"\r\n"), ValueError(3, "NAME"));
  EXPECT_EQ(FatalMessage("ADDRESS 2:5020\r\n"), ValueError(3, "ADDRESS"));
  EXPECT_EQ(FatalMessage("AKA fido\r\n"), ValueError(3, "AKA"));
  EXPECT_EQ(FatalMessage("PACKER \"zip %1 %2\r\n"), ValueError(3, "PACKER"));
  EXPECT_EQ(FatalMessage("ARCHIVER ZIP unzip %1\r\n"), ValueError(3, "ARCHIVER"));
  EXPECT_EQ(FatalMessage("EXTERNUTIL \"View\" F3 less\r\n"), ValueError(3, "EXTERNUTIL"));
  EXPECT_EQ(FatalMessage("AREA BOX RU.TEST C:\\X\r\n"), ValueError(3, "AREA"));
  EXPECT_EQ(FatalMessage("LOGPATH " + NodePath("NO\\SUCH\\DIR\\V.LOG") + "\r\n"),
            ValueError(3, "LOGPATH"));
}

TEST_F(SettingsReaderTest, LimitsOfTheNumbersAreInclusive) {
  Read("LINESPERSEC 2\r\nHEADERLINES 5\r\n");
  EXPECT_EQ(settings.LINESPERSEC, 2);
  EXPECT_EQ(settings.bytesPerSection, 90);
  EXPECT_EQ(settings.HEADERLINES, 5);
}

TEST_F(SettingsReaderTest, RequiredNameAndAddressAreCheckedAfterTheLastLine) {
  EXPECT_THROW(ReadFile("ADDRESS 2:5020/100\r\nSHOWHIDDEN yes\r\n"), FatalStop);
  try {
    ReadFile("SHOWHIDDEN yes\r\n; nothing else here\r\n");
    FAIL();
  } catch (const FatalStop& stop) {  // the name is checked first
    EXPECT_EQ(stop.Message(), Cp866("Имя не может быть пустым! Проверьте файл VELDMARK.CTL"));
  }
  settings = Settings();
  try {
    ReadFile("NAME \"Ivan\"\r\n");
    FAIL();
  } catch (const FatalStop& stop) {
    EXPECT_EQ(stop.Message(), Cp866("Адрес не может быть пустым! Проверьте файл VELDMARK.CTL"));
  }
}

TEST_F(SettingsReaderTest, QuotedValuesKeepTheirCase) {
  Read(
      "NAME \"Ivan Petrov ; not a comment inside quotes\r\n"  // no closing quote
      "ARCHIVER zip \"unzip -o %1 %2 -d %3\" ; comment\r\n"
      "ARCHIVER arjx \"arj e %1\r\n");
  EXPECT_EQ(settings.NAME, "Ivan Petrov ; not a comment inside quotes");
  ASSERT_EQ(settings.archivers.size(), 2u);
  EXPECT_EQ(settings.archivers[0].extension, "ZIP");
  EXPECT_EQ(settings.archivers[0].command, "unzip -o %1 %2 -d %3");
  EXPECT_EQ(settings.archivers[1].extension, "ARJ");  // three characters kept
  EXPECT_EQ(settings.archivers[1].command, "arj e %1");
}

TEST_F(SettingsReaderTest, ExternalUtilities) {
  Read(
      "EXTERNUTIL \"~V~iew the file in a pager, a long title\" F7 \"less %1\" Pause HideScreen\r\n"
      "EXTERNUTIL \"Edit\" X5 \"vi %1\" paramdlg\r\n"
      "EXTERNUTIL \"Mail\" ctrlf8 \"mutt\"\r\n");
  ASSERT_EQ(settings.externalUtilities.size(), 3u);
  const ExternalUtility& view = settings.externalUtilities[0];
  EXPECT_EQ(view.title, "~V~iew the file in a pager, a ");  // 30 characters
  EXPECT_EQ(view.keyName, "F7");
  EXPECT_EQ(view.keyCode, 0x4100u);
  EXPECT_EQ(view.command, "less %1");
  EXPECT_EQ(view.RunOptions, ExternalUtility::kPause | ExternalUtility::kHideScreen);
  const ExternalUtility& edit = settings.externalUtilities[1];
  EXPECT_EQ(edit.keyName, "");
  EXPECT_EQ(edit.keyCode, 0u);
  EXPECT_EQ(edit.RunOptions, ExternalUtility::kParamDlg);
  EXPECT_EQ(settings.externalUtilities[2].keyCode, 0x6500u);
  EXPECT_EQ(settings.externalUtilities[2].RunOptions, 0u);
}

TEST_F(SettingsReaderTest, TablesKeepTenEntriesAndIgnoreTheRestSilently) {
  std::string lines;
  for (int i = 1; i <= 11; ++i) {
    lines += "ARCHIVER e" + std::to_string(i) + " \"unpack %1\"\r\n";
    lines += "AKA 2:5020/100." + std::to_string(i) + "\r\n";
    lines += "EXTERNUTIL \"Tool " + std::to_string(i) + "\" F1 \"tool\"\r\n";
  }
  lines += "AKA not-an-address-but-ignored\r\n";
  Read(lines);
  EXPECT_EQ(settings.archivers.size(), 10u);
  EXPECT_EQ(settings.archivers.back().extension, "E10");
  ASSERT_EQ(settings.akas.size(), 10u);
  EXPECT_EQ(settings.akas.back().point, 10);
  EXPECT_EQ(settings.externalUtilities.size(), 10u);
  EXPECT_EQ(console.output, "");
}

TEST_F(SettingsReaderTest, AddressesTakeOmittedPartsFromTheOneParsedLast) {
  Read("ADDRESS 2:5020/100.0\r\nAKA 101\r\nAKA 3:333/1\r\nAKA 7.5\r\n");
  EXPECT_EQ(settings.ADDRESS, "2:5020/100");  // normalised
  ASSERT_EQ(settings.akas.size(), 3u);
  EXPECT_EQ(settings.akas[0], (NetAddress{2, 5020, 101, 0}));
  EXPECT_EQ(settings.akas[2], (NetAddress{3, 333, 7, 5}));
  EXPECT_EQ(settings.lastParsedAddress, (NetAddress{3, 333, 7, 5}));
}

TEST_F(SettingsReaderTest, UnknownKeywordWarnsAndReadingGoesOn) {
  Read("\r\nShowHiden yes\r\nSHOWHIDDEN yes\r\n");
  EXPECT_EQ(console.output, Cp866("VELDMARK.CTL строка 4: Неизвестный параметр SHOWHIDEN\n"
                                  "Нажмите любую клавишу для продолжения...\n"));
  EXPECT_TRUE(settings.SHOWHIDDEN);
}

TEST_F(SettingsReaderTest, LaterLinesOverwriteEarlierOnes) {
  Read("SHOWHIDDEN yes\r\nSHOWHIDDEN no\r\nROOT " + NodePath("a") + "\r\nROOT " + NodePath("b") +
       "\r\n");
  EXPECT_FALSE(settings.SHOWHIDDEN);
  EXPECT_EQ(settings.ROOT, NodePath("B"));
}

TEST_F(SettingsReaderTest, MissingOrTinyFileIsLeftToTheInstallation) {
  EXPECT_FALSE(ReadSettings(paths, settings, areas, log, console));
  EXPECT_FALSE(ReadFile("NAME \"a\"\r"));  // 9 bytes
  EXPECT_EQ(settings.NAME, "");
  EXPECT_THROW(ReadFile("NAME \"a\"\r\n"), FatalStop);  // 10 bytes are read (no address)
}

TEST_F(SettingsReaderTest, LogPathIsTakenFromProgramDirUnlessAbsolute) {
  Read("LOGPATH veldmark.log\r\n");
  EXPECT_EQ(settings.LOGPATH, paths.ProgramDir + "veldmark.log");
  EXPECT_TRUE(node.Exists("veldmark.log")) << "created as written";
  EXPECT_TRUE(log.Enabled());

  node.MakeDirectory("logs");
  settings = Settings();
  Read("LOGPATH " + NodePath("LOGS\\RUN.LOG") + "\r\n");
  EXPECT_TRUE(node.Exists("logs/RUN.LOG"));
}

TEST_F(SettingsReaderTest, ChecksAfterTheLastLineRepairWhatTheyCan) {
  node.WriteFile("blocker", "a file where TEMPPATH wants a directory");
  Read("TEMPPATH " + NodePath("blocker\\sub") + "\r\nREPORTAREA NO.SUCH.AREA\r\n");
  EXPECT_EQ(settings.TEMPPATH, "");
  EXPECT_EQ(settings.REPORTAREA, "");
  EXPECT_EQ(console.output,
            Cp866("Путь указанный в переменной TEMPPATH недоступен! Проверьте файл "
                  "VELDMARK.CTL\nПеременная TEMPPATH сброшена.\n"
                  "Нажмите любую клавишу для продолжения...\n"
                  "Конференции NO.SUCH.AREA не существует! Проверьте файл VELDMARK.CTL\n"
                  "Нажмите любую клавишу для продолжения...\n"));

  EXPECT_EQ(FatalMessage("HUDSONPATH " + NodePath("blocker\\hudson") + "\r\n"),
            Cp866("Путь указанный в переменной HUDSONPATH недоступен! Проверьте файл "
                  "VELDMARK.CTL"));
}

TEST_F(SettingsReaderTest, AreaKeywordsReadTheirSourcesWithTheLineNumber) {
  Read("AREA jam RU.FILES " + NodePath("jam\\rufiles") + "\r\nAREA msg NETMAIL " +
       NodePath("netmail\\") + "\r\nSORTAREAS type\r\n");
  ASSERT_EQ(areas.Count(), 2);
  EXPECT_EQ(areas.At(1).tag, "NETMAIL");  // sorted by base type: *.MSG before JAM
  EXPECT_EQ(areas.At(2).areaId, "J" + NodePath("JAM\\RUFILES"));

  EXPECT_EQ(FatalMessage("\r\nSQUISHPATH " + NodePath("squish.cfg") + "\r\n"),
            Cp866("VELDMARK.CTL строка 4: Файл SQUISH.CFG не найден - проверьте параметр "
                  "SQUISHPATH"));
}

TEST_F(SettingsReaderTest, HostileLinesNeverCrash) {
  std::string hostile = kRequired;
  hostile += Bytes("SHOWHIDDEN\tyes\0junk\r\n");  // tab and NUL separate words
  hostile += std::string(100000, 'x') + "\r\n";   // one warning, cut to 255
  hostile += "\xff\xfe\x01\x02\r\n";
  hostile += "\r\r\r\n";
  hostile += "\"\r\n";
  hostile += Bytes("NAME \"Ivan\0Petrov\"\r\n");
  hostile += "EXTERNUTIL \"\r\n";
  ASSERT_THROW(ReadFile(hostile), FatalStop);  // the last line has no command

  std::string tolerable = hostile.substr(0, hostile.rfind("EXTERNUTIL"));
  ASSERT_TRUE(ReadFile(tolerable));
  EXPECT_TRUE(settings.SHOWHIDDEN);
  EXPECT_EQ(settings.NAME, "Ivan Petrov");
  EXPECT_NE(console.output.find(Cp866("строка 4: Неизвестный параметр ") + std::string(255, 'X')),
            std::string::npos);
  EXPECT_NE(console.output.find(Cp866("строка 5: Неизвестный параметр ") + "\xff\xfe"),
            std::string::npos);
}

// Comment lines in every form a sysop writes them give no message at all and set nothing, not
// even when they hold a keyword or a misspelt one.
TEST_F(SettingsReaderTest, CommentLinesGiveNoMessageAndSetNothing) {
  Read(
      ";\r\n"
      "; Veldmark settings\r\n"
      ";SHOWHIDDEN yes\r\n"
      "   ; DELETEBAD yes\r\n"
      "\t;\tSHOWHIDEN yes\r\n"
      ";;; NAME \"Nobody\"\r\n" +
      Cp866("; Корень для файлов: ROOT C:\\FILES\r\n") +
      ";LINESPERSEC 1\r\n"
      "\x1a");
  EXPECT_EQ(console.output, "");
  EXPECT_FALSE(settings.SHOWHIDDEN);
  EXPECT_FALSE(settings.DELETEBAD);
  EXPECT_EQ(settings.NAME, "Ivan Petrov");
  EXPECT_EQ(settings.ROOT, "");
  EXPECT_EQ(settings.LINESPERSEC, 120);
}

}  // namespace
}  // namespace vm
