#include "text/cp866.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <random>

namespace vm {
namespace {

// The C library's own CP866 converter, as an independent reference for the tables.
std::string IconvCp866ToUtf8(const std::string& in) {
  iconv_t cd = iconv_open("UTF-8", "CP866");
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::string out(in.size() * 4, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  EXPECT_NE(iconv(cd, &src, &srcLeft, &dst, &dstLeft), static_cast<size_t>(-1));
  iconv_close(cd);
  out.resize(out.size() - dstLeft);
  return out;
}

std::string AllBytes() {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  return all;
}

TEST(Cp866, UpCaseFoldsExactlyTheLatinAndCyrillicLowerCaseLetters) {
  for (int c = 0; c < 256; ++c) {
    int expected = c;
    if (c >= 'a' && c <= 'z') expected = c - 32;
    if (c >= 160 && c <= 175) expected = c - 32;  // а-п
    if (c >= 224 && c <= 239) expected = c - 80;  // р-я
    if (c == 241) expected = 240;                 // ё
    EXPECT_EQ(UpCaseCp866(static_cast<unsigned char>(c)), expected) << "byte " << c;
    if (expected != c) {
      EXPECT_EQ(LowCaseCp866(static_cast<unsigned char>(expected)), c);
    }
  }
  EXPECT_EQ(UpCaseCp866(Cp866("Привет, ёж! abc")), Cp866("ПРИВЕТ, ЁЖ! ABC"));
  EXPECT_EQ(UpCaseAscii(Cp866("abc где")), Cp866("ABC где"));
  EXPECT_TRUE(EqualNoCaseCp866(Cp866("Сообщение"), Cp866("СООБЩЕНИЕ")));
  EXPECT_FALSE(EqualNoCaseCp866("abc", "abd"));
  EXPECT_FALSE(EqualNoCaseCp866("abc", "abcd"));
}

TEST(Cp866, AllBytesMatchTheSystemTableAndComeBack) {
  std::string all = AllBytes();
  std::string utf8 = Cp866ToUtf8(all);
  EXPECT_EQ(utf8, IconvCp866ToUtf8(all));
  EXPECT_EQ(Utf8ToCp866(utf8), all);
}

TEST(Cp866, SourceLiteralsBecomeCp866) {
  EXPECT_EQ(Cp866("АЯая Ёё"), "\x80\x9F\xA0\xEF\x20\xF0\xF1");
  EXPECT_EQ(Cp866("№"), "\xFC");
}

TEST(Cp866, CharactersWithoutACounterpartBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp866("é€😀x"), "???x");
}

TEST(Cp866, MalformedUtf8GivesOneQuestionMarkPerBrokenSequence) {
  EXPECT_EQ(Utf8ToCp866("a\xD0"), "a?");        // cut at the end
  EXPECT_EQ(Utf8ToCp866("\xD0x"), "?x");        // lead without continuation
  EXPECT_EQ(Utf8ToCp866("\x80\xBFz"), "??z");   // stray continuation bytes
  EXPECT_EQ(Utf8ToCp866("\xC0\x80"), "??");     // overlong NUL
  EXPECT_EQ(Utf8ToCp866("\xE0\x81\x81"), "?");  // overlong three-byte form
  EXPECT_EQ(Utf8ToCp866("\xE2\x94"
                        "\xD0\x90"),
            "?\x80");  // a broken box character does not swallow the letter after it
  EXPECT_EQ(Utf8ToCp866("\xFF\xFE"), "??");
  EXPECT_EQ(Utf8ToCp866("\xED\xA0\x80"), "?");  // a surrogate
  EXPECT_EQ(Utf8ToCp866(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Cp866, RandomBytesNeverBreakTheDecoder) {
  std::mt19937 random(866);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 16, '\0');
    for (char& c : bytes) c = static_cast<char>(0x80 | random() % 128);
    if (round % 3 == 0) bytes += "\xD0\x96";
    std::string cp866 = Utf8ToCp866(bytes);
    EXPECT_LE(cp866.size(), bytes.size());
    EXPECT_EQ(Utf8ToCp866(Cp866ToUtf8(cp866)), cp866);
  }
}

TEST(Cp866, DisplayCharactersShowControlCodesAsGlyphs) {
  EXPECT_EQ(Cp866DisplayChar(27), U'\u2190');
  EXPECT_EQ(Cp866DisplayChar(16), U'\u25BA');
  EXPECT_EQ(Cp866DisplayChar(17), U'\u25C4');
  EXPECT_EQ(Cp866DisplayChar(0), U' ');
  EXPECT_EQ(Cp866DisplayChar(127), U'\u2302');
  EXPECT_EQ(Cp866DisplayChar('A'), U'A');
  EXPECT_EQ(Cp866DisplayChar(0x80), U'\u0410');
  for (int c = 0; c < 256; ++c) EXPECT_GE(Cp866DisplayChar(static_cast<unsigned char>(c)), 32u);
}

}  // namespace
}  // namespace vm
