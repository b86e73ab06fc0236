#include "decode/data_line.h"

#include <gtest/gtest.h>

#include "posting_builder.h"

namespace vm {
namespace {

std::string Decode(std::string_view line, EncodingKind kind) {
  unsigned char out[kMaxLineBytes];
  size_t n = DecodeLine(line, kind, out);
  return std::string(reinterpret_cast<char*>(out), n);
}

TEST(DataLine, LengthCharacterMustAgreeWithTheLineLength) {
  EXPECT_TRUE(IsDataLine("M" + std::string(60, 'A'), EncodingKind::Uu));
  EXPECT_TRUE(IsDataLine("!86)C", EncodingKind::Uu));
  EXPECT_FALSE(IsDataLine("M" + std::string(20, 'A'), EncodingKind::Uu));
  EXPECT_FALSE(IsDataLine("`", EncodingKind::Uu));
  EXPECT_FALSE(IsDataLine("end", EncodingKind::Uu));
  EXPECT_TRUE(IsDataLine("h" + std::string(60, 'a'), EncodingKind::Xx));
  EXPECT_FALSE(IsDataLine("M" + std::string(60, 'A'), EncodingKind::Xx));
}

TEST(DataLine, Base64LinesCarryNoDashOrBlank) {
  EXPECT_TRUE(IsDataLine("UEsDBBQAAAAIAA==", EncodingKind::MimeBase64));
  EXPECT_FALSE(IsDataLine("Content-Type:", EncodingKind::MimeBase64));
  EXPECT_FALSE(IsDataLine("some words here", EncodingKind::MimeBase64));
  EXPECT_FALSE(IsDataLine("", EncodingKind::MimeBase64));
  // The last line of a posting whose final chunk is one to three bytes.
  EXPECT_TRUE(IsDataLine("AQ==", EncodingKind::MimeBase64));
  EXPECT_FALSE(IsDataLine("A!==", EncodingKind::MimeBase64));
}

TEST(DataLine, RoundTripsEveryLineLength) {
  const std::string data = test::TestBytes(45);
  for (size_t n = 1; n <= 45; ++n) {
    const std::string chunk = data.substr(0, n);
    for (EncodingKind kind : {EncodingKind::Uu, EncodingKind::Xx}) {
      const Alphabet& a = AlphabetFor(kind);
      const std::string line = std::string(1, a.chars[n]) + test::EncodeGroups(a, chunk);
      ASSERT_TRUE(IsDataLine(line, kind)) << n;
      ASSERT_EQ(Decode(line, kind), chunk) << n;
    }
  }
}

TEST(DataLine, Base64Padding) {
  // 54 bytes: no "=", 55: "==" (n - 2 bytes), 56: "=" (n - 1 bytes).
  const std::string data = test::TestBytes(57, 3);
  for (size_t n : {54u, 55u, 56u, 57u, 1u, 2u, 3u}) {
    const std::string line = test::MimePart(data.substr(0, n), "X", 1, 1).at(5);
    EXPECT_EQ(Decode(line, EncodingKind::MimeBase64), data.substr(0, n)) << n;
  }
  EXPECT_EQ(Decode("QUJDQQ==", EncodingKind::MimeBase64), "ABCA");
}

TEST(DataLine, OutOfAlphabetCharactersCountAs63) {
  // "#" announces 3 bytes; "~" is outside the UU alphabet and reads as 63 ("_").
  EXPECT_EQ(Decode("#~~~~", EncodingKind::Uu), Decode("#____", EncodingKind::Uu));
  EXPECT_EQ(Decode("#____", EncodingKind::Uu), "\xFF\xFF\xFF");
}

TEST(DataLine, ShortLinesGiveZerosNotStaleBytes) {
  // A line whose trailing characters were cut by mail software: the missing characters are
  // the zero character, and the length character "`" announces nothing.
  EXPECT_EQ(Decode("#", EncodingKind::Uu), std::string(3, '\0'));
  EXPECT_EQ(Decode("`AAA", EncodingKind::Uu), "");
  unsigned char out[kMaxLineBytes];
  EXPECT_LE(DecodeLine(std::string(255, '\xFF'), EncodingKind::Uu, out), kMaxLineBytes);
  EXPECT_LE(DecodeLine(std::string(255, '\xFF'), EncodingKind::Xx, out), kMaxLineBytes);
  EXPECT_LE(DecodeLine(std::string(255, '='), EncodingKind::MimeBase64, out), kMaxLineBytes);
}

}  // namespace
}  // namespace vm
