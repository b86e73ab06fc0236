// The sum checks of many sections, handed over in batches to the checking thread: every
// section comes back once, in order, with the flags of exactly its own differences, and the
// file's checksum runs on across batches.
#include "decode/sum_checks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "decode/section_decoders.h"
#include "text/checksums.h"

namespace vm {
namespace {

struct Section {
  std::string text;
  std::vector<unsigned char> data;
  std::vector<SumClaim> claims;
  uint8_t decoderFlags = 0;
  uint8_t expected = 0;
};

// Sections of a file with honest claims; the caller spoils some of them.
std::vector<Section> MakeFile(std::mt19937& random, int count) {
  std::vector<Section> sections(static_cast<size_t>(count));
  uint16_t fileSum = 0;
  int64_t fileLength = 0;
  for (Section& s : sections) {
    s.text.resize(6000 + random() % 3000);
    for (char& c : s.text) c = static_cast<char>(32 + random() % 64);
    s.data.resize(4000 + random() % 2000);
    for (unsigned char& b : s.data) b = static_cast<unsigned char>(random());
    fileSum = BsdSumAdd(fileSum, s.data.data(), s.data.size());
    fileLength += static_cast<int64_t>(s.data.size());
    s.claims.push_back(
        {false, BsdSumAdd(0, s.text.data(), s.text.size()), static_cast<int64_t>(s.text.size())});
  }
  sections.back().claims.push_back({true, fileSum, fileLength});
  return sections;
}

std::vector<CheckedSection> CheckFile(SectionSumChecks& checks, const std::vector<Section>& file) {
  std::vector<CheckedSection> out;
  checks.StartFile();
  int32_t number = 0;
  for (const Section& s : file) {
    ++number;
    checks.Add({number, 1000 + number, s.decoderFlags}, s.text, s.data, s.claims);
    for (const CheckedSection& c : checks.Take(false)) out.push_back(c);
  }
  for (const CheckedSection& c : checks.Take(true)) out.push_back(c);
  return out;
}

void ExpectInOrder(const std::vector<CheckedSection>& out, const std::vector<Section>& file) {
  ASSERT_EQ(out.size(), file.size());
  for (size_t i = 0; i < out.size(); ++i) {
    EXPECT_EQ(out[i].number, static_cast<int32_t>(i + 1));
    EXPECT_EQ(out[i].message, static_cast<int32_t>(1001 + i));
    EXPECT_EQ(out[i].flags, file[i].expected) << "section " << i + 1;
  }
}

TEST(SectionSumChecks, ManyBatchesComeBackInOrderWithTheirOwnFlags) {
  std::mt19937 random(7);
  std::vector<Section> file = MakeFile(random, 400);  // about 5 MB: many batches
  {
    SectionSumChecks fresh;
    ExpectInOrder(CheckFile(fresh, file), file);
  }

  // A spoiled sum, a spoiled length (which is all that is said then), a decoder's own flag
  // kept, and an unreadable claim, each in one section of the middle of a batch.
  file[17].claims[0].sum ^= 1;
  file[17].expected = decode_flag::kSectionCrc;
  file[150].claims[0].length += 1;
  file[150].claims[0].sum ^= 1;
  file[150].expected = decode_flag::kSectionLength;
  file[151].decoderFlags = decode_flag::kTooLarge;
  file[151].expected = decode_flag::kTooLarge;
  file[300].claims[0] = SumClaim{};
  file[300].expected = decode_flag::kSectionLength;
  file.back().claims[1].sum ^= 0x100;
  file.back().expected = decode_flag::kFileCrc;
  SectionSumChecks checks;
  ExpectInOrder(CheckFile(checks, file), file);

  // The file checksum covers every byte: one changed byte in an early section shows at the
  // end, and only there.
  std::vector<Section> changed = MakeFile(random, 120);
  changed[3].data[10] ^= 0x40;
  changed.back().expected = decode_flag::kFileCrc;
  ExpectInOrder(CheckFile(checks, changed), changed);
}

TEST(SectionSumChecks, ANewFileDropsWhatTheLastOneLeftAndStartsItsChecksumAtZero) {
  std::mt19937 random(11);
  SectionSumChecks checks;
  std::vector<Section> abandoned = MakeFile(random, 100);
  checks.StartFile();
  for (size_t i = 0; i < abandoned.size(); ++i)
    checks.Add({static_cast<int32_t>(i + 1), 1, 0}, abandoned[i].text, abandoned[i].data,
               abandoned[i].claims);

  std::vector<Section> file = MakeFile(random, 60);
  ExpectInOrder(CheckFile(checks, file), file);
  EXPECT_TRUE(checks.Take(true).empty());
}

TEST(SectionSumChecks, OneSmallFileIsCheckedWhenAllIsTaken) {
  std::mt19937 random(3);
  std::vector<Section> file = MakeFile(random, 2);
  file[0].claims.clear();  // no sum line: nothing to differ
  file.back().claims[1].length = 5;
  file.back().expected = decode_flag::kFileLength;
  SectionSumChecks checks;
  checks.StartFile();
  checks.Add({1, 1001, 0}, file[0].text, file[0].data, file[0].claims);
  EXPECT_TRUE(checks.Take(false).empty());  // not a batch yet
  checks.Add({2, 1002, 0}, file[1].text, file[1].data, file[1].claims);
  ExpectInOrder(checks.Take(true), file);
}

}  // namespace
}  // namespace vm
