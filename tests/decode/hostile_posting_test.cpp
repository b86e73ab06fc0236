// Postings written to hurt: names that climb out of the target directory, absurd totals and
// section numbers, overlong identifiers and lines. Nothing may crash and nothing may be
// written anywhere but the target directory.
#include <gtest/gtest.h>

#include <filesystem>

#include "decode/area_scan.h"
#include "decode/file_decoder.h"
#include "decode/safe_name.h"
#include "decode_fixture.h"
#include "posting_builder.h"

namespace vm {
namespace {

using test::Lines;

TEST(SafeOutputName, LeavesOneHarmlessName) {
  EXPECT_EQ(SafeOutputName("A.ZIP"), "A.ZIP");
  EXPECT_EQ(SafeOutputName("../../x"), "x");
  EXPECT_EQ(SafeOutputName("/etc/x"), "x");
  EXPECT_EQ(SafeOutputName("C:\\x"), "x");
  EXPECT_EQ(SafeOutputName("C:x"), "x");
  EXPECT_EQ(SafeOutputName(".."), "NONAME");
  EXPECT_EQ(SafeOutputName("....."), "NONAME");
  EXPECT_EQ(SafeOutputName(""), "NONAME");
  EXPECT_EQ(SafeOutputName(".profile"), "profile");
  EXPECT_EQ(SafeOutputName("a\x01\x1b[2Jb.txt"), "a__[2Jb.txt");
  EXPECT_EQ(SafeOutputName("NUL"), "_NUL");
  EXPECT_EQ(SafeOutputName("com1.txt"), "_com1.txt");
  EXPECT_EQ(SafeOutputName("a*?|.zip"), "a___.zip");
  EXPECT_EQ(SafeOutputName(std::string(300, 'n')).size(), 255u);
}

TEST(SafeOutputName, OutputPathStaysInTheDirectory) {
  const std::string dir = std::filesystem::temp_directory_path().string();
  EXPECT_EQ(OutputPathIn(dir, "a.zip"), dir + "\\a.zip");
  EXPECT_EQ(OutputPathIn(dir, "NUL"), "");
  EXPECT_EQ(OutputPathIn(dir, ".."), "");
  EXPECT_EQ(OutputPathIn(dir, "x/../../y"), "");
}

class HostilePostingTest : public ::testing::Test, public test::DecodeFixture {
 protected:
  // Scans and decodes every found file in the windowed way (the found name is used as
  // the output name), answering Yes to every question.
  void DecodeAll() {
    DecodeSession session = Windowed();
    ScanArea(session, base, area, catalogue, ScanOptions{1, true, ""});
    for (int i = 2; i <= catalogue.Count(); ++i) {
      dialogs.answers = std::string(100, 'y');
      DecodeFoundFile(session, base, work, catalogue.At(i), OutDir());
    }
  }
  // Every file under the test directory lies directly in out/ (or is the run log).
  void ExpectNothingOutside() {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
      if (entry.path() == dir / "out" || entry.path() == dir / "run.log") continue;
      EXPECT_EQ(entry.path().parent_path(), dir / "out") << entry.path();
      EXPECT_TRUE(entry.is_regular_file()) << entry.path();
    }
  }
  FoundFileCatalogue catalogue;
  FileDecodeWork work;
};

TEST_F(HostilePostingTest, NamesThatClimbOut) {
  const std::string m61 = "M" + std::string(60, 'A');
  for (const char* name :
       {"../../x", "/etc/x", "C:\\x", "..", "...", "....\\..", "\x01\x02", "a\x1b]0;pwn\x07"}) {
    base.Add({"begin 644 " + std::string(name), m61, "`", "end"});
    base.Add(test::MimePart("abc", name, 1, 1));
  }
  base.Add({"begin 644 " + std::string(300, 'L') + ".zip", m61});
  base.Add({"[BEGINCRX\"../../crx\"]", "Name: x", "[ENDCRX]"});
  DecodeAll();
  EXPECT_GT(catalogue.FileCount(), 10);
  ExpectNothingOutside();
  EXPECT_FALSE(std::filesystem::exists(dir / "x"));
}

TEST_F(HostilePostingTest, AbsurdNumbers) {
  const std::string m61 = "M" + std::string(60, 'A');
  base.Add({"section 1 of 2147483648 of file big.zip", m61});
  base.Add({"section 0 of 3 of file zero.zip", m61});
  base.Add({"section -5 of 3 of file neg.zip", m61});
  base.Add({"section 2147483647 of 0 of file far.zip", m61});
  base.Add({"section 9999999999 of 5 of file huge.zip", m61});
  base.Add({"Content-Type: message/partial; id=\"" + std::string(200, 'I') +
                "\"; number=2147483647; total=-4",
            "", "QUJD"});
  DecodeAll();
  for (int i = 2; i <= catalogue.Count(); ++i) {
    const FoundFile& file = catalogue.At(i);
    EXPECT_LE(file.total, FoundFile::kMaxSections) << file.key;
    EXPECT_LE(file.SlotCount(), FoundFile::kMaxSections) << file.key;
    EXPECT_LE(file.key.size(), 64u);
  }
  ExpectNothingOutside();
}

TEST_F(HostilePostingTest, LinesOfFFBytes) {
  const std::string ff(255, '\xFF');
  base.Add({"begin 644 ff.bin", ff, ff, "M" + std::string(60, '\xFF'), ff});
  base.Add({"section 1 of 1 of file ff2.bin", "", "M" + std::string(60, 'A'), ff, ff});
  base.Add(Lines(50, ff));
  base.Add({"Content-Type: application/octet-stream; name=\"" + ff, ff, ff});
  DecodeAll();
  ExpectNothingOutside();
}

}  // namespace
}  // namespace vm
