#include "text/checksums.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>

#include "support/platform_temp_dir.h"
#include "text/cp866.h"

namespace vm {
namespace {

TEST(StrCrc32, IsTheStandardCrcWithoutFinalInversionAsASignedNumber) {
  EXPECT_EQ(StrCrc32("123456789"), 873187033);     // 0x340BC6D9
  EXPECT_EQ(StrCrc32("John DoeAll"), -376381791);  // 0xE990DEA1, printed with its sign
  EXPECT_EQ(StrCrc32(""), -1);
  EXPECT_EQ(std::to_string(StrCrc32("John DoeAll")), "-376381791");
}

TEST(StrCrc32, UpperCasesOnlyAsciiLetters) {
  EXPECT_EQ(StrCrc32("john doe"), StrCrc32("JOHN DOE"));
  EXPECT_NE(StrCrc32(Cp866("иван")), StrCrc32(Cp866("ИВАН")));
  EXPECT_EQ(StrCrc32("a"), 740712820);
}

TEST(Crc32Update, ChainsAcrossPieces) {
  std::string text = "123456789";
  uint32_t whole = Crc32Update(0xFFFFFFFFu, text.data(), text.size());
  uint32_t pieces = Crc32Update(Crc32Update(0xFFFFFFFFu, text.data(), 4), text.data() + 4, 5);
  EXPECT_EQ(whole, pieces);
  EXPECT_EQ(~whole, 0xCBF43926u);  // the check value of CRC-32
}

// The checksum that coreutils' "sum -r" prints for a file.
int CoreutilsSum(const std::string& path) {
  std::string command = "sum -r '" + path + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  int sum = -1;
  if (std::fscanf(pipe, "%d", &sum) != 1) sum = -1;
  pclose(pipe);
  return sum;
}

TEST(BsdSumAdd, AgreesWithCoreutilsSumOnRealFiles) {
  ScopedTempDir dir;
  std::mt19937 random(1961);
  for (size_t size : {size_t{0}, size_t{1}, size_t{45}, size_t{7382}, size_t{200000}}) {
    std::string data(size, '\0');
    for (char& c : data) c = static_cast<char>(random());
    std::string path = dir / ("f" + std::to_string(size));
    std::ofstream(path, std::ios::binary) << data;

    uint16_t whole = BsdSumAdd(0, data.data(), data.size());
    EXPECT_EQ(whole, CoreutilsSum(path)) << size << " bytes";
    // Fed in pieces, byte by byte or in blocks, the sum is the same.
    uint16_t stepwise = 0;
    for (size_t i = 0; i < data.size(); ++i)
      stepwise = BsdSumAdd(stepwise, static_cast<unsigned char>(data[i]));
    EXPECT_EQ(stepwise, whole);
    size_t half = size / 2;
    EXPECT_EQ(BsdSumAdd(BsdSumAdd(0, data.data(), half), data.data() + half, size - half), whole);
  }
}

TEST(BsdSumAdd, RotatesBeforeAdding) {
  EXPECT_EQ(BsdSumAdd(0, 'A'), 65);
  EXPECT_EQ(BsdSumAdd(1, 0), 0x8000);  // the low bit goes round to the top
  EXPECT_EQ(BsdSumAdd(0xFFFF, 2), 1);  // and the addition wraps
}

}  // namespace
}  // namespace vm
