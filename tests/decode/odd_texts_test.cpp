// Message texts that are not quite what a poster wrote: a stray line whose length character is
// just outside what a data line may claim, prose between the header and the data, a kludge line
// inside the data, a file time at the end of the year, and a section whose message went or
// changed between the scan and the decode.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "decode/area_scan.h"
#include "decode/data_line.h"
#include "decode/file_decoder.h"
#include "decode_fixture.h"
#include "posting_builder.h"
#include "text/dos_time.h"

namespace vm {
namespace {

namespace fs = std::filesystem;
using test::Lines;

// A line of prose of exactly `length` characters that starts with `first`.
std::string Prose(char first, size_t length) {
  std::string line = std::string(1, first) + "ail me if a section is missing, I post it again soon";
  line.resize(length, '.');
  return line;
}

// The line as the data tests see it: blanks read as the alphabet's zero character.
std::string AsData(std::string line, EncodingKind kind) {
  std::replace(line.begin(), line.end(), ' ', AlphabetFor(kind).Zero());
  return line;
}

class OddTextsTest : public ::testing::Test, public test::DecodeFixture {
 protected:
  // Scans the memory area and decodes the one file found.
  FileDecodeOutcome DecodeTheFile(EncodingKind* kind = nullptr) {
    FoundFileCatalogue catalogue;
    DecodeSession session = Unattended();
    ScanArea(session, base, area, catalogue, ScanOptions{1, true, ""});
    EXPECT_EQ(catalogue.Count(), 2);
    if (catalogue.Count() != 2) return {};
    if (kind != nullptr) *kind = catalogue.At(2).kind;
    return DecodeFoundFile(session, base, work_, catalogue.At(2), OutDir());
  }

 private:
  FileDecodeWork work_;
};

// A data line may claim up to two bytes more or less than its length holds (a last line of one
// byte is five characters, which hold three); three off, the line is a stray one and passed over.
TEST_F(OddTextsTest, LengthCharacterTwoOffIsDataThreeOffIsAStrayLine) {
  struct Case {
    const char* what;
    EncodingKind kind;
    bool stray;  // a prose line whose length character claims 45 bytes, in 57 characters
  };
  const Case cases[] = {
      {"UU, last line of one byte", EncodingKind::Uu, false},
      {"UU, stray line three off", EncodingKind::Uu, true},
      {"XX, last line of one byte", EncodingKind::Xx, false},
      {"XX, stray line three off", EncodingKind::Xx, true},
  };
  const std::string data = test::TestBytes(45 * 3 + 1, 21);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    base.messages.clear();
    Lines lines = test::UuSections(data, "odd.bin", 4, c.kind)[0];
    if (c.stray) {
      const std::string stray = Prose(c.kind == EncodingKind::Uu ? 'M' : 'h', 57);
      EXPECT_FALSE(IsDataLine(AsData(stray, c.kind), c.kind));
      lines.insert(lines.begin() + 6, stray);  // after the second data line
    }
    base.Add(lines);
    const FileDecodeOutcome outcome = DecodeTheFile();
    EXPECT_EQ(outcome.result, 0);
    EXPECT_TRUE(ReadOut(outcome.outputName) == data);
  }
}

// A greeting between the "begin" line and the data that would pass for data of the other
// encoding: lines with blanks never decide between UU and XX.
TEST_F(OddTextsTest, ProseBeforeTheDataDoesNotDecideTheEncoding) {
  struct Case {
    EncodingKind kind;   // of the posting
    std::string prose;   // passes for data of the other encoding once blanks are zeros
    EncodingKind other;  // that other encoding
  };
  const Case cases[] = {
      {EncodingKind::Uu, "Hello All, here is the file", EncodingKind::Xx},
      {EncodingKind::Xx, Prose('H', 54), EncodingKind::Uu},
  };
  const std::string data = test::TestBytes(45 * 4, 22);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prose);
    std::string prose = c.prose;
    if (c.other == EncodingKind::Uu)
      std::transform(prose.begin(), prose.end(), prose.begin(), ::toupper);
    ASSERT_TRUE(IsDataLine(AsData(prose, c.other), c.other));
    base.messages.clear();
    Lines lines = test::UuSections(data, "greet.bin", 4, c.kind)[0];
    lines.insert(lines.begin() + 4, prose);  // right after "begin"
    base.Add(lines);
    EncodingKind found = EncodingKind::None;
    const FileDecodeOutcome outcome = DecodeTheFile(&found);
    EXPECT_EQ(found, c.kind);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_TRUE(ReadOut(outcome.outputName) == data);
  }
}

// Data lines after a kludge line belong to no section: the data ends at the kludge, and the
// sums tell that the section came out short.
TEST_F(OddTextsTest, AKludgeLineInsideTheDataEndsIt) {
  const std::string data = test::TestBytes(45 * 6, 23);
  Lines lines = test::UuSections(data, "cut.bin", 6)[0];
  lines.insert(lines.begin() + 4 + 3, "\x01Via 2:5020/1 @20260101.120000 Tosser");
  base.Add(lines);
  const FileDecodeOutcome outcome = DecodeTheFile();
  EXPECT_NE(outcome.result, 0);
  EXPECT_TRUE(ReadOut(outcome.outputName) == data.substr(0, 45 * 3));
}

// The file time of a posting made on the last second of a year that DOS time can hold reaches
// the file; a month after December is no time and leaves the file's own.
TEST_F(OddTextsTest, FileTimeOfDecemberAndOfAMonthPastIt) {
  const DateTime december{2025, 12, 31, 23, 59, 58};
  const uint32_t packed = PackDosDateTime(december);
  const uint32_t thirteenth = packed + (1u << 21);  // the month field one higher
  ASSERT_EQ(UnpackDosDateTime(thirteenth).month, 13);
  const std::string data = test::TestBytes(45 * 2, 24);
  for (const uint32_t fileTime : {packed, thirteenth}) {
    SCOPED_TRACE(fileTime);
    base.messages.clear();
    Lines lines = test::UuSections(data, "time.bin", 4)[0];
    lines[2] = "filetime " + std::to_string(fileTime);
    base.Add(lines);
    const FileDecodeOutcome outcome = DecodeTheFile();
    ASSERT_EQ(outcome.result, 0);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "out" / outcome.outputName).c_str(), &st), 0);
    const std::time_t seconds = st.st_mtime;
    std::tm local{};
    localtime_r(&seconds, &local);
    if (fileTime == packed) {
      EXPECT_EQ(local.tm_year + 1900, 2025);
      EXPECT_EQ(local.tm_mon + 1, 12);
      EXPECT_EQ(local.tm_mday, 31);
      EXPECT_EQ(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec, 86398);
    } else {
      EXPECT_LT(std::abs(std::time(nullptr) - seconds), 3600) << "the decode's own time stays";
    }
  }
}

// Between the scan and the decode another program deletes the message of section 2, or packs
// a *.MSG area so that the next message takes its number: the section is missing, and no
// other message is read in its place.
TEST_F(OddTextsTest, SectionWhoseMessageWentOrChangedIsMissing) {
  struct Case {
    const char* what;
    char variant;
    bool renumber;  // *.MSG: 2.msg deleted and 3.msg renamed to 2.msg
  };
  const Case cases[] = {
      {"*.MSG, deleted", 'F', false},  {"*.MSG, renumbered", 'F', true},
      {"Squish, deleted", 'S', false}, {"JAM, deleted", 'J', false},
      {"Hudson, deleted", 'H', false},
  };
  const std::string data = test::TestBytes(45 * 2 * 3, 25);
  const std::vector<Lines> sections = test::UuSections(data, "gone.zip", 2);
  ASSERT_EQ(sections.size(), 3u);
  int areas = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path place = dir / ("area" + std::to_string(++areas));
    const std::string id = c.variant == 'H' ? "H001" + place.string() : c.variant + place.string();
    MessageBaseHandle area;
    ASSERT_TRUE(OpenOrCreateMessageArea(id, area));
    for (size_t i = 0; i < sections.size(); ++i) {
      area->StartNewMessage();
      area->SetMailKind(MailKind::Echomail);
      area->SetFromName("Poster");
      area->SetToName("All");
      area->SetSubject("gone.zip " + std::to_string(i + 1) + "/3");
      for (const std::string& line : sections[i]) area->PutLine(line);
      ASSERT_EQ(area->WriteMessage(), 0);
    }
    FoundFileCatalogue catalogue;
    DecodeSession session = Unattended();
    ScanArea(session, *area, this->area, catalogue, ScanOptions{1, true, ""});
    ASSERT_EQ(catalogue.Count(), 2);
    ASSERT_TRUE(catalogue.At(2).Complete());
    const int32_t second = catalogue.At(2).Slot(2)->message;

    if (c.renumber) {
      fs::remove(place / (std::to_string(second) + ".msg"));
      fs::rename(place / (std::to_string(second + 1) + ".msg"),
                 place / (std::to_string(second) + ".msg"));
      CloseMessageArea(area);
      ASSERT_TRUE(OpenMessageArea(id, area));
    } else {
      area->SeekFrom(second);
      area->LoadHeader();
      area->DeleteMessage();
    }
    FileDecodeWork work;
    const FileDecodeOutcome outcome =
        DecodeFoundFile(session, *area, work, catalogue.At(2), OutDir());
    CloseMessageArea(area);
    EXPECT_NE(outcome.result & decode_flag::kMissing, 0);
    const std::string expected =
        c.renumber ? data.substr(0, 90) : data.substr(0, 90) + data.substr(90 * 2);
    EXPECT_TRUE(ReadOut(outcome.outputName) == expected)
        << ReadOut(outcome.outputName).size() << " bytes";
  }
}

}  // namespace
}  // namespace vm
