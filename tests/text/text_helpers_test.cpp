#include "text/text_helpers.h"

#include <gtest/gtest.h>

#include "text/cp866.h"

namespace vm {
namespace {

TEST(TextHelpers, SkipBlanksSkipsAllCodesUpToBlank) {
  std::string text = std::string("\0\t\r\n \x1F", 6) + "x ";
  size_t pos = 0;
  SkipBlanks(pos, text);
  EXPECT_EQ(pos, 6u);
  pos = 7;
  SkipBlanks(pos, text);
  EXPECT_EQ(pos, text.size());
  SkipBlanks(pos, text);  // at the end it stays there
  EXPECT_EQ(pos, text.size());
}

TEST(TextHelpers, GetWordStopsOnExactlyItsDelimiters) {
  for (char delimiter : std::string(" \"%,;")) {
    std::string text = std::string("ab\tc") + delimiter + "rest";
    size_t pos = 0;
    EXPECT_EQ(GetWord(pos, text), "ab\tc") << delimiter;  // tab is no delimiter
    EXPECT_EQ(pos, 4u);
    EXPECT_EQ(GetWord(pos, text), "");  // standing on a delimiter: empty word, no move
    EXPECT_EQ(pos, 4u);
  }
  size_t pos = 2;
  EXPECT_EQ(GetWord(pos, "x:ABC"), "ABC");
  EXPECT_EQ(pos, 5u);
}

// Long lines are scanned sixteen bytes at a time: every delimiter at every distance from the
// start must still end the word exactly there, and no other byte may.
TEST(TextHelpers, GetWordViewAgreesWithACharacterScanOnLongLines) {
  const std::string fillers = std::string("aZ9.:\\\t\x01") + "\x80\xA0\xE0\xFF";
  for (char delimiter : std::string(" \"%,;")) {
    for (size_t length = 0; length < 40; ++length) {
      std::string word;
      for (size_t i = 0; i < length; ++i) word += fillers[(i * 7 + length) % fillers.size()];
      for (const std::string& after :
           {std::string(), std::string(1, delimiter) + "tail of the line"}) {
        std::string line = "  " + word + after;
        size_t pos = 2;
        EXPECT_EQ(GetWordView(pos, line), word) << length << delimiter;
        EXPECT_EQ(pos, 2 + length);
      }
    }
  }
}

TEST(TextHelpers, StripBracketed) {
  EXPECT_EQ(StripBracketed("[Crack] Name [v1.0]"), "Name ");
  EXPECT_EQ(StripBracketed("junk] Name [x]"), "Name ");  // "]" before "[": cut through it
  EXPECT_EQ(StripBracketed("a [b [c] d] e"), "a  d] e");
  EXPECT_EQ(StripBracketed("[only open"), "[only open");
  EXPECT_EQ(StripBracketed("only close]"), "only close]");
  EXPECT_EQ(StripBracketed("]]][[["), "[[[");
  EXPECT_EQ(StripBracketed("]a[]"), "a");
  EXPECT_EQ(StripBracketed(""), "");
}

TEST(TextHelpers, KeepFileNameCharsKeepsExactlyTheFileNameSet) {
  std::string kept;
  for (int c = 1; c < 256; ++c) {
    std::string one(1, static_cast<char>(c));
    if (KeepFileNameChars(one) == one) kept += one;
  }
  std::string expected =
      "!#$%'()-0123456789@ABCDEFGHIJKLMNOPQRSTUVWXYZ_`abcdefghijklmnopqrstuvwxyz~";
  for (int c = 128; c <= 175; ++c) expected += static_cast<char>(c);
  for (int c = 224; c <= 228; ++c) expected += static_cast<char>(c);
  for (int c = 230; c <= 255; ++c) expected += static_cast<char>(c);
  EXPECT_EQ(kept, expected);
  EXPECT_EQ(KeepFileNameChars(Cp866("Хорошая хата.zip/..\\")), Cp866("Хорошаяатаzip"));
}

TEST(TextHelpers, ShortFileName) {
  EXPECT_EQ(ShortFileName("A.TAR.GZ"), "A.GZ");
  EXPECT_EQ(ShortFileName("A.B.C.D"), "A.B.D");  // only one inner dot is cut
  EXPECT_EQ(ShortFileName("C:\\DIR\\SUB\\FILE.ZIP"), "FILE.ZIP");
  EXPECT_EQ(ShortFileName("dir/x.y.txt"), "x.txt");
  EXPECT_EQ(ShortFileName(".."), "..");
  EXPECT_EQ(ShortFileName("."), ".");
  EXPECT_EQ(ShortFileName("NOEXT"), "NOEXT");
  EXPECT_EQ(ShortFileName("DIR.X\\NAME"), "NAME");  // a dot of the directory is no extension
  EXPECT_EQ(ShortFileName(""), "");
  EXPECT_EQ(ShortFileName("C:"), "");
}

TEST(TextHelpers, FieldPadCutsOrFillsToTheWidth) {
  EXPECT_EQ(FieldPad(14, 2, "FILE.ZIP"), "  FILE.ZIP    ");
  EXPECT_EQ(FieldPad(5, 1, "ABCDEFG"), " ABCD");
  EXPECT_EQ(FieldPad(3, 5, "X"), "   ");
  EXPECT_EQ(FieldPad(0, 0, "X"), "");
  EXPECT_EQ(FieldPad(4, 0, ""), "    ");
}

TEST(TextHelpers, ParseWholeNumber) {
  EXPECT_EQ(ParseWholeNumber("42"), 42);
  EXPECT_EQ(ParseWholeNumber("+42"), 42);
  EXPECT_EQ(ParseWholeNumber("-7"), -7);
  EXPECT_EQ(ParseWholeNumber("007"), 7);
  EXPECT_EQ(ParseWholeNumber("9223372036854775807"), INT64_MAX);
  for (const char* bad : {"", "+", "-", "+-5", "--5", "4x", " 4", "4 ", "x", "9223372036854775808"})
    EXPECT_FALSE(ParseWholeNumber(bad).has_value()) << bad;
}

}  // namespace
}  // namespace vm
