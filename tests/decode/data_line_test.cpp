#include "decode/data_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "posting_builder.h"
#include "text/alphabets.h"

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

// The groups' bits put together character by character, as a reference for the table-driven
// decoder: six bits a character (63 outside the alphabet, 0 past the end of the line).
std::string ReferenceDecode(std::string_view chars, size_t count, const Alphabet& a) {
  std::string out;
  for (size_t i = 0; out.size() < count; i += 4) {
    uint32_t bits = 0;
    for (size_t k = 0; k < 4; ++k) {
      const int v = i + k < chars.size() ? a.Value(static_cast<unsigned char>(chars[i + k])) : 0;
      bits = bits << 6 | static_cast<uint32_t>(v < 0 ? 63 : v);
    }
    for (int k = 2; k >= 0 && out.size() < count; --k) out += static_cast<char>(bits >> (8 * k));
  }
  return out;
}

TEST(DataLine, AgreesWithACharacterByCharacterReferenceOnRandomLines) {
  std::mt19937 rng(5);
  for (int round = 0; round < 3000; ++round) {
    for (EncodingKind kind : {EncodingKind::Uu, EncodingKind::Xx, EncodingKind::MimeBase64}) {
      const Alphabet& a = AlphabetFor(kind);
      // Every other round only characters of the alphabet, so that long runs of them occur.
      const unsigned strangers = round % 2 ? 10 : 0;
      std::string line;
      const size_t length = rng() % 90;
      for (size_t i = 0; i < length; ++i) {
        char c = strangers && rng() % strangers == 0 ? static_cast<char>(rng() % 256)
                                                     : a.chars[rng() % 64];
        if (c == '=') c = '+';  // base64 padding has rules of its own, tested above
        line += c;
      }
      std::string expected;
      if (kind == EncodingKind::MimeBase64) {
        expected = ReferenceDecode(line, line.size() / 4 * 3, a);
      } else if (!line.empty()) {
        const int announced = a.Value(static_cast<unsigned char>(line[0]));
        if (announced >= 0)
          expected =
              ReferenceDecode(std::string_view(line).substr(1), static_cast<size_t>(announced), a);
      }
      ASSERT_EQ(Decode(line, kind), expected) << round << " " << line;
    }
  }
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
