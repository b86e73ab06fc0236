#include "decode/file_decoder.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "decode/area_scan.h"
#include "decode_fixture.h"
#include "posting_builder.h"
#include "support/child_process.h"
#include "text/cp866.h"

namespace vm {
namespace {

using test::Lines;

class FileDecoderTest : public ::testing::Test, public test::DecodeFixture {
 protected:
  // Scans the area and decodes catalogue entry `index`.
  FileDecodeOutcome ScanAndDecode(DecodeSession session, int index = 2) {
    ScanArea(session, base, area, catalogue, ScanOptions{1, true, ""});
    if (catalogue.Count() < index) return FileDecodeOutcome{0xFF, "", {}};
    return DecodeFoundFile(session, base, work, catalogue.At(index), OutDir());
  }
  FileDecodeOutcome Unattended(int index = 2) {
    return ScanAndDecode(DecodeFixture::Unattended(), index);
  }
  FileDecodeOutcome Windowed(int index = 2) {
    return ScanAndDecode(DecodeFixture::Windowed(), index);
  }

  FoundFileCatalogue catalogue;
  FileDecodeWork work;
};

TEST_F(FileDecoderTest, UuPostingWithCorrectSumsInAnyMessageOrder) {
  const std::string data = test::TestBytes(45 * 10 * 3 + 17);
  auto sections = test::UuSections(data, "pack.zip", 10);
  ASSERT_EQ(sections.size(), 4u);
  for (int i : {3, 1, 0, 2}) base.Add(sections[static_cast<size_t>(i)]);
  auto outcome = Unattended();
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.outputName.size(), 12u);
  EXPECT_EQ(outcome.outputName.substr(8), ".$$$");
  EXPECT_EQ(ReadOut(outcome.outputName), data);
  // The file time of the first section (a packed DOS date) reaches the file.
  auto written = std::filesystem::last_write_time(dir / "out" / outcome.outputName);
  EXPECT_LT(written, std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 365));
}

TEST_F(FileDecoderTest, ShortAndMalformedSumLines) {
  // Found by fuzzing: a line of just "sum" after the data.
  base.Add({"begin 644 s.bin", "#86)C", "`", "end", "sum", "sum -r/size x/y section",
            "sum -r/size 1 entire"});
  auto outcome = Unattended();
  EXPECT_EQ(ReadOut(outcome.outputName), "abc");
  // The bare "sum" takes the first of the two looks; the unreadable values count as different.
  EXPECT_EQ(outcome.result, decode_flag::kSectionLength);
}

TEST_F(FileDecoderTest, XxPostingAndSingleSection) {
  const std::string data = test::TestBytes(100, 7);
  for (const Lines& s : test::UuSections(data, "a.bin", 2, EncodingKind::Xx)) base.Add(s);
  auto outcome = Unattended();
  EXPECT_EQ(catalogue.At(2).kind, EncodingKind::Xx);
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(ReadOut(outcome.outputName), data);
}

TEST_F(FileDecoderTest, ChecksumAndLengthMismatchesAreFlagged) {
  const std::string data = test::TestBytes(45 * 9);
  auto sections = test::UuSections(data, "x.zip", 3);
  // One data character changed in section 1: its text checksum and the file checksum differ.
  std::string& line = sections[0][5];
  line[10] = line[10] == 'A' ? 'B' : 'A';
  // Section 2's length line is off.
  for (std::string& l : sections[1])
    if (l.rfind("sum -r/size", 0) == 0) l.replace(l.find('/', 12), 1, "/1");
  for (const Lines& s : sections) base.Add(s);
  auto outcome = Unattended();
  EXPECT_EQ(outcome.result,
            decode_flag::kSectionCrc | decode_flag::kFileCrc | decode_flag::kSectionLength);
  EXPECT_EQ(ReadOut(outcome.outputName).size(), data.size());
  EXPECT_NE(LogText().find(Cp866("CRC секции не совпадают. Секция 1")), std::string::npos);
}

TEST_F(FileDecoderTest, BlanksAndStrayLinesInsideUuData) {
  const std::string data = test::TestBytes(45 * 4, 9);
  auto sections = test::UuSections(data, "b.zip", 4);
  Lines& lines = sections[0];
  // Mail software turned backquotes into blanks and a tagline landed inside the data.
  for (std::string& l : lines)
    if (l.size() == 61) std::replace(l.begin(), l.end(), '`', ' ');
  lines.insert(lines.begin() + 6, "--- a stray line");
  base.Add(lines);
  auto outcome = Unattended();
  EXPECT_EQ(ReadOut(outcome.outputName), data);
}

TEST_F(FileDecoderTest, MimePartsAndTheLastShortLine) {
  const std::string data = test::TestBytes(57 * 5 + 2, 4);
  base.Add(test::MimePart(data.substr(57 * 3), "M.BIN", 2, 2));
  base.Add(test::MimePart(data.substr(0, 57 * 3), "M.BIN", 1, 2));
  auto outcome = Unattended();
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(ReadOut(outcome.outputName), data);
}

TEST_F(FileDecoderTest, MissingSectionUnattendedGoesOn) {
  const std::string data = test::TestBytes(45 * 6);
  auto sections = test::UuSections(data, "m.zip", 2);
  base.Add(sections[0]);
  base.Add(sections[2]);
  {
    auto s = DecodeFixture::Unattended();
    ScanArea(s, base, area, catalogue, ScanOptions{1, true, ""});
  }
  FoundFile& file = catalogue.At(2);
  EXPECT_FALSE(file.Complete());
  auto session = DecodeFixture::Unattended();
  auto outcome = DecodeFoundFile(session, base, work, file, OutDir());
  EXPECT_EQ(outcome.result & decode_flag::kMissing, decode_flag::kMissing);
  EXPECT_EQ(ReadOut(outcome.outputName).size(), 45u * 4);
}

TEST_F(FileDecoderTest, OwnTextSectionsJoinAtCharacter255) {
  const std::string sep = OwnTextSeparator();
  base.Add({Cp866("Секция 1 из 2 файла notes.txt < Послано test >"), sep, "first line",
            "half of a li\xFF", sep});
  base.Add({Cp866("Секция 2 из 2 файла notes.txt < Послано test >"), sep, "ne", "last", sep});
  auto outcome = Unattended();
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(ReadOut(outcome.outputName), "first line\r\nhalf of a line\r\nlast\r\n");
}

TEST_F(FileDecoderTest, UnclosedTextSectionIsATextError) {
  base.Add({Cp866("Секция 1 из 1 файла notes.txt"), OwnTextSeparator(), "text"});
  EXPECT_EQ(Unattended().result, decode_flag::kTextError);
}

TEST_F(FileDecoderTest, FastPostAndCrackBlocks) {
  base.Add({"TextSection 1 of 1 of file read.me", "", "Text Begin.", "one", "two", "textend. bye"});
  auto fp = Unattended();
  EXPECT_EQ(fp.result, 0);
  EXPECT_EQ(ReadOut(fp.outputName), "one\r\ntwo\r\n");

  base.messages.clear();
  settings.EXTRACTXCK = true;
  base.Add({"intro", "[BEGINCRK]", "Tool", "patch 1", "[ENDCRK]", "after"});
  auto crk = Unattended();
  EXPECT_EQ(crk.result, 0);
  EXPECT_EQ(ReadOut(crk.outputName), "[BEGINCRK]\r\nTool\r\npatch 1\r\n[ENDCRK]\r\n");
}

TEST_F(FileDecoderTest, OversizedSectionStopsAtTheBufferLimit) {
  Lines lines{"begin 644 big.bin"};
  const std::string full = "M" + std::string(60, 'A');
  for (int i = 0; i < 1500; ++i) lines.push_back(full);  // 67500 bytes in one section
  lines.push_back("`");
  lines.push_back("end");
  base.Add(lines);
  auto outcome = Unattended();
  EXPECT_EQ(outcome.result, decode_flag::kTooLarge);
  EXPECT_EQ(ReadOut(outcome.outputName).size(), kSectionBufferSize);

  // Text sections are cut the same way.
  base.messages.clear();
  Lines text{Cp866("Секция 1 из 1 файла long.txt"), OwnTextSeparator()};
  for (int i = 0; i < 400; ++i) text.push_back(std::string(200, 'x'));
  text.push_back(OwnTextSeparator());
  base.Add(text);
  auto cut = Unattended();
  EXPECT_EQ(cut.result, decode_flag::kTooLarge);
  EXPECT_EQ(ReadOut(cut.outputName).size(), kSectionBufferSize);
}

TEST_F(FileDecoderTest, DeleteDecodedRemovesOnlyCleanMessagesOnce) {
  const std::string data = test::TestBytes(45 * 6);
  auto a = test::UuSections(data, "d.zip", 2);
  // Sections 1 and 2 share message 1; section 3 is damaged in message 2.
  Lines both = a[0];
  both.insert(both.end(), a[1].begin(), a[1].end());
  for (std::string& l : a[2])
    if (l.rfind("sum -r/size", 0) == 0 && l.find("section") != std::string::npos)
      l = "sum -r/size 1/1 section";
  base.Add(both);
  base.Add(a[2]);
  settings.DELETEDECODED = true;
  auto outcome = Unattended();
  EXPECT_EQ(outcome.result, decode_flag::kSectionLength);
  EXPECT_EQ(ReadOut(outcome.outputName), data);
  EXPECT_EQ(outcome.cleanMessages, std::vector<int32_t>{1});
  EXPECT_TRUE(base.deletedNumbers.empty()) << "decoding deletes nothing itself";
  DeleteDecodedMessages(base, outcome.cleanMessages);
  EXPECT_EQ(base.deletedNumbers, std::vector<int32_t>{1});
}

TEST_F(FileDecoderTest, AFullDiskLeavesNoFileAndDeletesNoMessage) {
  // Several megabytes, so that the refusal comes in the middle of the file.
  const std::string data = test::TestBytes(3'000'000, 5);
  for (const Lines& s : test::UuSections(data, "big.zip", 1000)) base.Add(s);
  settings.DELETEDECODED = true;
  const int status = test::InChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{1'500'000, 1'500'000};
    setrlimit(RLIMIT_FSIZE, &limit);
    const FileDecodeOutcome outcome = Unattended();
    const bool reported =
        console.output.find(Cp866("Недостаточно места на диске")) != std::string::npos;
    _exit(outcome.result == decode_flag::kNotDecoded && reported && base.deletedNumbers.empty()
              ? 0
              : 1);
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "not decoded, said so, nothing deleted";
  EXPECT_TRUE(std::filesystem::is_empty(dir / "out")) << "the partial file is gone";
}

TEST_F(FileDecoderTest, WindowedAsksBeforeOverwriting) {
  for (const Lines& s : test::UuSections("hello world", "hello.txt", 10)) base.Add(s);
  {
    std::ofstream old(dir / "out" / "HELLO.TXT");
    old << "old";
  }
  dialogs.answers = "n";
  auto refused = Windowed();
  EXPECT_EQ(refused.result, decode_flag::kNotDecoded);
  EXPECT_EQ(ReadOut("HELLO.TXT"), "old");
  ASSERT_EQ(dialogs.questions.size(), 1u);
  EXPECT_EQ(dialogs.questions[0], Cp866("Файл HELLO.TXT уже существует. Перезаписать?"));

  dialogs.answers = "y";
  auto accepted = Windowed();
  EXPECT_EQ(accepted.result, 0);
  EXPECT_EQ(ReadOut("HELLO.TXT"), "hello world");
}

TEST_F(FileDecoderTest, WindowedMissingSectionAsksAndStopsOnNo) {
  const std::string data = test::TestBytes(45 * 9);
  auto sections = test::UuSections(data, "s.zip", 3);
  base.Add(sections[0]);
  base.Add(sections[2]);
  dialogs.answers = "n";
  auto outcome = Windowed();
  EXPECT_EQ(outcome.result, decode_flag::kMissing);
  EXPECT_EQ(dialogs.questions.back(), Cp866("Секция 2 отсутствует. Продолжить?"));
  EXPECT_EQ(ReadOut("S.ZIP").size(), 45u * 3);
}

TEST_F(FileDecoderTest, PendingAbortDecodesNothing) {
  for (const Lines& s : test::UuSections("abc", "a.txt", 10)) base.Add(s);
  auto session = DecodeFixture::Unattended();
  ScanArea(session, base, area, catalogue, ScanOptions{1, true, ""});
  state.abortPending = true;
  EXPECT_EQ(DecodeFoundFile(session, base, work, catalogue.At(2), OutDir()).result,
            decode_flag::kNotDecoded);
  EXPECT_TRUE(std::filesystem::is_empty(dir / "out"));
}

}  // namespace
}  // namespace vm
