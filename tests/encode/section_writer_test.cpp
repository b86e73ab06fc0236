#include "encode/section_writer.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "posting_fixture.h"
#include "text/checksums.h"

namespace vm {
namespace {

using test::CapturingBase;
using test::EntryFor;
using test::PostSections;
using test::TestData;

// What coreutils "sum -r" says of the bytes, or "" when the command is missing.
std::string CoreutilsSum(const ScopedTempDir& dir, const std::string& bytes) {
  dir.WriteFile("sum.in", bytes);
  FILE* pipe = popen(("sum -r '" + (dir / "sum.in") + "' 2>/dev/null").c_str(), "r");
  if (!pipe) return "";
  char line[128] = {};
  const bool read = fgets(line, sizeof line, pipe) != nullptr;
  pclose(pipe);
  if (!read) return "";
  // "12345     8": the sum, then the size in kilobytes.
  return std::to_string(std::stoul(line));
}

class SectionWriterTest : public ::testing::Test {
 protected:
  QueueEntry Post(const std::string& data, EncodeFlags flags, int32_t lines,
                  const std::string& name = "A.ZIP") {
    dir.WriteFile("A.ZIP", data);
    QueueEntry entry = EntryFor(dir / "A.ZIP", flags, lines, name);
    PostSections(entry, base);
    return entry;
  }
  std::string RoundTrip(uint8_t& result) {
    dir.MakeDirectory("out");
    return test::DecodeArea(base, dir / "out", result);
  }

  ScopedTempDir dir;
  CapturingBase base;
};

TEST(EncodeLine, LengthCharacterAndZeroFilledGroups) {
  const std::string full = TestData(45);
  const auto* bytes = reinterpret_cast<const unsigned char*>(full.data());
  struct Case {
    const Alphabet* alphabet;
    size_t count;
    std::string expected;
  } cases[] = {
      {&kUuAlphabet, 1, "!````"},  // one zero byte and the zero fill: the zero character
      {&kUuAlphabet, 3, "#``<."},
      {&kXxAlphabet, 3, "1++QC"},
      {&kBase64Alphabet, 3, "DAAcO"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(EncodeLine(*c.alphabet, bytes, c.count), c.expected) << c.count;
  const std::string uu = EncodeLine(kUuAlphabet, bytes, 45);
  EXPECT_EQ(uu.size(), 61u);
  EXPECT_EQ(uu[0], 'M');
  EXPECT_EQ(EncodeLine(kXxAlphabet, bytes, 45)[0], 'h');
}

TEST_F(SectionWriterTest, UuFileOfExactlyOneSection) {
  const std::string data = TestData(45 * 3);
  Post(data, kEncodeUu, 3);
  ASSERT_EQ(base.messages.size(), 1u);
  const std::vector<std::string> lines = base.Lines(0);
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[0], "section 1 of 1 of file a.zip < uuencoded by Veldmark v1.61.40 >");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2].rfind("filetime ", 0), 0u);
  EXPECT_EQ(lines[3], "begin 644 a.zip");
  for (int i = 4; i < 7; ++i) EXPECT_EQ(lines[i].size(), 61u) << i;
  EXPECT_EQ(lines[7], "`");
  EXPECT_EQ(lines[8], "end");
  EXPECT_EQ(lines[9], "");
  EXPECT_NE(lines[10].find(" section (from \"begin\" to \"end\")"), std::string::npos);
  EXPECT_EQ(lines[11], "sum -r/size " + std::to_string(BsdSumAdd(0, data.data(), data.size())) +
                           "/135 entire input file");
  EXPECT_EQ(lines[12], "");
}

TEST_F(SectionWriterTest, UuFileOf46Bytes) {
  Post(TestData(46), kEncodeUu, 120);
  const std::vector<std::string> lines = base.Lines(0);
  EXPECT_EQ(lines[4].size(), 61u);
  EXPECT_EQ(lines[5].size(), 5u);
  EXPECT_EQ(lines[5][0], '!');
  EXPECT_EQ(lines[6], "`");
}

// XX of 100 bytes at 2 lines a section: two sections; each section line and the file line
// agree with coreutils "sum -r" over the bytes they cover.
TEST_F(SectionWriterTest, XxTwoSectionsAndTheirSums) {
  const std::string data = TestData(100);
  Post(data, kEncodeXx, 2);
  ASSERT_EQ(base.messages.size(), 2u);
  const std::vector<std::string> first = base.Lines(0), second = base.Lines(1);
  EXPECT_EQ(first[0], "section 1 of 2 of file a.zip < xxencoded by Veldmark v1.61.40 >");
  EXPECT_EQ(first[3], "begin 644 a.zip");
  EXPECT_EQ(first[7].substr(first[7].find(" section")),
            " section (from \"begin\" to last encoded line)");
  EXPECT_EQ(second[2].size(), 1u + 4 * 4);  // 10 bytes
  EXPECT_EQ(second[2][0], kXxAlphabet.chars[10]);
  EXPECT_EQ(second[3], "+");
  EXPECT_EQ(second[4], "end");
  EXPECT_NE(second[6].find(" section (from first encoded line to \"end\")"), std::string::npos);

  const std::string sum1 = CoreutilsSum(dir, first[3] + "\n" + first[4] + "\n" + first[5] + "\n");
  if (sum1.empty()) GTEST_SKIP() << "coreutils sum is missing";
  EXPECT_EQ(first[7].rfind("sum -r/size " + sum1 + "/", 0), 0u) << first[7];
  const std::string sum2 = CoreutilsSum(dir, second[2] + "\n+\nend\n");
  EXPECT_EQ(second[6].rfind("sum -r/size " + sum2 + "/", 0), 0u) << second[6];
  EXPECT_EQ(second[7], "sum -r/size " + CoreutilsSum(dir, data) + "/100 entire input file");
}

TEST_F(SectionWriterTest, MimeTailsAndPartHeaders) {
  struct Case {
    size_t tail;
    size_t padding;
  } cases[] = {{54, 0}, {55, 2}, {56, 1}};
  for (const Case& c : cases) {
    base.messages.clear();
    Post(TestData(57 + c.tail), kEncodeMime, 1);
    ASSERT_EQ(base.messages.size(), 2u);
    const std::vector<std::string> last = base.Lines(1);
    const std::string& line = last[last.size() - 2];
    EXPECT_EQ(line.size(), 4 * ((c.tail + 2) / 3)) << c.tail;
    EXPECT_EQ(line.find('='), c.padding == 0 ? std::string::npos : line.size() - c.padding) << line;
  }
  const std::vector<std::string> part = base.Lines(1);
  EXPECT_EQ(part[0], "MIME-Version: 1.0");
  EXPECT_EQ(part[1], "Content-Type: message/partial;");
  // "A.ZIP" as codes 65 46 90 73 80, the total 2, the name checksums of Sysop and All.
  EXPECT_EQ(part[2], "  id=\"6546907380221121313221379978408\"");
  EXPECT_EQ(part[3], "  number=2; total=2");
  EXPECT_EQ(part[5], "Content-Type: application/octet-stream; name=\"A.ZIP\"");

  base.messages.clear();
  Post(TestData(10), kEncodeMime, 5, "b.bin");
  const std::vector<std::string> single = base.Lines(0);
  EXPECT_EQ(single[1], "Content-Type: application/octet-stream; name=\"B.BIN\"");
}

// A file queued under a name in capitals shows the "begin" line in lower case; the section
// sum is taken over that line as shown, so the decoder finds nothing wrong with it.
TEST_F(SectionWriterTest, RoundTripsOfEveryEncoding) {
  const std::string data = TestData(45 * 4 * 3 + 57 * 2 + 1);
  for (EncodeFlag flags : {kEncodeUu, kEncodeXx, kEncodeMime}) {
    for (int32_t lines : {4, 1000}) {
      base.messages.clear();
      Post(data, flags, lines);
      uint8_t result = 0xFF;
      EXPECT_EQ(RoundTrip(result), data) << flags << " " << lines;
      EXPECT_EQ(result, 0) << flags << " " << lines;
    }
  }
}

TEST_F(SectionWriterTest, SingleSectionEntryPostsOneSectionWithTheWholeFileSum) {
  const std::string data = TestData(45 * 2 * 3);
  dir.WriteFile("A.ZIP", data);
  QueueEntry entry = EntryFor(dir / "A.ZIP", kEncodeUu | kSingleSection, 2, "A.ZIP");
  entry.offset = 45 * 2 * 2;
  PostSections(entry, base);
  ASSERT_EQ(base.messages.size(), 1u);
  const std::vector<std::string> lines = base.Lines(0);
  EXPECT_EQ(lines[0].rfind("section 3 of 3 ", 0), 0u);
  EXPECT_EQ(lines[lines.size() - 2], "sum -r/size " +
                                         std::to_string(BsdSumAdd(0, data.data(), data.size())) +
                                         "/270 entire input file");

  // A single section that is not the last also finishes the entry, in every encoding.
  for (EncodeFlags kind : {EncodeFlags{kEncodeXx}, EncodeFlags{kEncodeMime}, EncodeFlags{0}}) {
    base.messages.clear();
    entry = EntryFor(dir / "A.ZIP", kind | kSingleSection, 1, "A.ZIP");
    PostSections(entry, base);
    EXPECT_EQ(base.messages.size(), 1u) << kind;
  }
}

// What the decoder gives back of a plain-text posting: lines end in CR LF, tabs are eight
// blanks, other control characters dots, and HSUBST replaces three Cyrillic letters.
std::string AsPosted(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\r\n";
    } else if (c == '\t') {
      out += std::string(8, ' ');
    } else {
      out += static_cast<char>(c < 32 ? '.' : HsubstChar(c));
    }
  }
  return out;
}

// Linux line ends, a line far longer than a message line, tabs, control characters and CR LF
// pairs cut by section boundaries: nothing is lost, at every section size.
TEST_F(SectionWriterTest, PlainTextRoundTrips) {
  std::string text = "first line\nsecond\tline with a tab\n" + std::string(600, 'x') + "\n";
  for (int i = 0; i < 40; ++i) text += "line " + std::to_string(i) + "\x01\r\n";
  text += "\xAE\xE0\xA8\xA3\xA8\xAD\xA0\xAB\x8D\n\nno line end at the end";
  for (int32_t lines : {2, 3, 7, 1000}) {
    base.messages.clear();
    Post(text, 0, lines, "notes.txt");
    uint8_t result = 0xFF;
    EXPECT_EQ(RoundTrip(result), AsPosted(text)) << lines;
    EXPECT_EQ(result, 0) << lines;
    for (size_t m = 0; m < base.messages.size(); ++m)
      for (const std::string& line : base.Lines(m)) EXPECT_LE(line.size(), 253u);
  }
  const std::vector<std::string> first = base.Lines(0);
  EXPECT_EQ(first[0], Cp866("Секция 1 из 1 файла notes.txt < Послано Veldmark v1.61.40 >"));
  EXPECT_EQ(first[1], OwnTextSeparator());
  EXPECT_EQ(first[2], "first line");
  EXPECT_EQ(first.back(), OwnTextSeparator());
}

// A UTF-8 file whose characters all exist in code page 866 is posted in code page 866; one
// with a character beyond it is posted byte for byte.
TEST_F(SectionWriterTest, Utf8TextIsPostedInCp866) {
  const std::string russian = "Привет, мир!\nВторая строка\n";
  for (int32_t lines : {1, 120}) {
    base.messages.clear();
    Post(russian, 0, lines, "ru.txt");
    uint8_t result = 0xFF;
    EXPECT_EQ(RoundTrip(result), AsPosted(Utf8ToCp866(russian))) << lines;
  }
  const std::string mixed = "Привет \xE2\x82\xAC\n";  // the euro sign has no CP866 form
  base.messages.clear();
  Post(mixed, 0, 120, "eu.txt");
  uint8_t result = 0xFF;
  EXPECT_EQ(RoundTrip(result), AsPosted(mixed));
}

}  // namespace
}  // namespace vm
