// Descriptions from file_id.diz: the archiver runs on exactly the decoded file whatever its
// name holds, and what it leaves is read with care.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "config/file_description.h"
#include "config/settings.h"
#include "platform/process.h"
#include "support/platform_temp_dir.h"
#include "text/cp866.h"

namespace vm {
namespace {

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

TEST(FileIdDiz, LinesAreCleanedAndBounded) {
  EXPECT_EQ(DescriptionLines("One\r\nTwo\nThree"), (Lines{"One", "Two", "Three"}));
  EXPECT_EQ(DescriptionLines("Text\r\n\x1A garbage after the DOS end"), (Lines{"Text"}));
  // A control byte at a line's start would make a kludge of the report line.
  EXPECT_EQ(DescriptionLines("\x01PID: x\tTab\r\n\r\n  \r\n"), (Lines{" PID: x Tab"}));
  EXPECT_EQ(DescriptionLines("a\r\n\r\nb\r\n"), (Lines{"a", "", "b"}));
  EXPECT_TRUE(DescriptionLines("\r\n\r\n").empty());
  std::string many;
  for (int i = 0; i < 100; ++i) many += std::string(300, 'x') + "\n";
  const Lines lines = DescriptionLines(many);
  EXPECT_EQ(lines.size(), 30u);
  EXPECT_EQ(lines[0].size(), 255u);
}

TEST(FileIdDiz, ArchiverIsFoundByExtension) {
  Settings settings;
  settings.archivers = {{"ARJ", "arj e %1"}, {"ZIP", "unzip %1"}};
  ASSERT_NE(FindArchiver(settings, "pack.zip"), nullptr);
  EXPECT_EQ(FindArchiver(settings, "PACK.ZIP")->command, "unzip %1");
  EXPECT_EQ(FindArchiver(settings, "PACK.RAR"), nullptr);
  EXPECT_EQ(FindArchiver(settings, "README"), nullptr);
  EXPECT_EQ(FindArchiver(settings, "ZIP"), nullptr);
}

class Archiver : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists("/usr/bin/zip") || !fs::exists("/usr/bin/unzip"))
      GTEST_SKIP() << "zip and unzip are not installed";
    dir.MakeDirectory("work");
    dir.WriteFile("src/FILE_ID.DIZ", "Test archive v1.0\r\nSecond line\r\n");
    ASSERT_EQ(RunCommand("cd %1 && zip -q -X %2 FILE_ID.DIZ", {dir / "src", dir / "pack.zip"}), 0);
  }

  // Anything the shell ran besides the archiver leaves a PWNED file somewhere here.
  bool SomethingElseRan() const {
    for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
      if (entry.path().filename().string().rfind("PWNED", 0) == 0) return true;
    return fs::exists("PWNED");
  }

  Settings settings;
  ScopedTempDir dir;
};

TEST_F(Archiver, DescriptionComesFromTheArchiveOrTheSubject) {
  settings.archivers = {{"ZIP", "unzip -o -j -C %1 %2 -d %3"}};
  const std::string work = dir / "work";
  EXPECT_EQ(DescribeFile(settings, dir / "pack.zip", "Subject", work),
            (Lines{"Test archive v1.0", "Second line"}));
  EXPECT_TRUE(fs::is_empty(work)) << "the extracted file_id.diz is erased";

  // An archive without file_id.diz, and a file with no archiver, get the subject.
  ASSERT_EQ(RunCommand("cd %1 && zip -q -X %2 FILE_ID.DIZ", {dir / "src", dir / "other.zip"}), 0);
  ASSERT_EQ(RunCommand("zip -q -d %1 FILE_ID.DIZ; cd %2 && echo x > a.txt && zip -q %1 a.txt",
                       {dir / "other.zip", dir / "src"}),
            0);
  EXPECT_EQ(DescribeFile(settings, dir / "other.zip", "Other subject", work),
            (Lines{"Subj: Other subject"}));
  dir.WriteFile("plain.txt", "text");
  EXPECT_EQ(DescribeFile(settings, dir / "plain.txt", "Plain", work), (Lines{"Subj: Plain"}));
}

TEST_F(Archiver, StaleFileIdDizIsNotTakenForTheArchives) {
  settings.archivers = {{"ZIP", "true %1 %2 %3"}};  // an archiver that extracts nothing
  dir.WriteFile("work/file_id.diz", "Left from another archive\r\n");
  EXPECT_EQ(DescribeFile(settings, dir / "pack.zip", "Subject", dir / "work"),
            (Lines{"Subj: Subject"}));
}

TEST_F(Archiver, LinkedFileIdDizIsNeverRead) {
  dir.WriteFile("secret", "secret contents\r\n");
  settings.archivers = {{"ZIP", "ln -s " + (dir / "secret") + " %3/%2"}};
  EXPECT_EQ(DescribeFile(settings, dir / "pack.zip", "Subject", dir / "work"),
            (Lines{"Subj: Subject"}));
  EXPECT_TRUE(fs::is_empty(dir / "work"));
}

TEST_F(Archiver, HostileNamesReachTheArchiverAsOneWord) {
  const char* names[] = {"a;touch PWNED1;b.zip",
                         "$(touch PWNED2).zip",
                         "`touch PWNED3`.zip",
                         "x|touch PWNED4.zip",
                         "y&touch PWNED5&.zip",
                         "q'\"'touch PWNED6'.zip",
                         "-n.zip",
                         "z\" && touch PWNED7 \".zip"};
  // Templates as sysops write them: placeholders bare, in double and in single quotes.
  const char* templates[] = {"unzip -o -j -C %1 %2 -d %3", "unzip -o -j -C \"%1\" \"%2\" -d \"%3\"",
                             "unzip -o -j -C '%1' '%2' -d '%3'"};
  dir.MakeDirectory("work $(touch PWNED8) `touch PWNED9`;");
  const std::string work = dir / "work $(touch PWNED8) `touch PWNED9`;";
  for (const char* tmpl : templates) {
    settings.archivers = {{"ZIP", tmpl}};
    for (const char* name : names) {
      fs::copy_file(dir / "pack.zip", dir / name, fs::copy_options::overwrite_existing);
      EXPECT_EQ(DescribeFile(settings, dir / name, "Subject", work),
                (Lines{"Test archive v1.0", "Second line"}))
          << tmpl << " " << name;
      EXPECT_FALSE(SomethingElseRan()) << tmpl << " " << name;
    }
  }
}

}  // namespace
}  // namespace vm
