// The shared text helpers: word scanning, blank handling, file-name cleaning, fixed-width
// fields. Positions are 0-based indexes into the text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vm {

// Texts are at most 255 bytes unless a narrower width is given; CutTo applies such a width.
inline constexpr size_t kMaxText = 255;
std::string CutTo(std::string_view text, size_t width);

// Advances pos past characters with codes 0 to 32.
void SkipBlanks(size_t& pos, std::string_view text);

// Collects characters from pos up to (not including) the first blank, '"', '%', ',' or ';'
// and leaves pos on that delimiter (or at the end).
std::string GetWord(size_t& pos, std::string_view text);
// The same word as a view into the text, for loops that scan many lines without copying.
std::string_view GetWordView(size_t& pos, std::string_view text);

// Removes every blank (code 32).
std::string RemoveBlanks(std::string_view text);

// Removes bracketed parts ("[...]", and a leading "...]"), then leading codes 0 to 32.
std::string StripBracketed(std::string_view text);

// Keeps only the characters allowed in file names.
std::string KeepFileNameChars(std::string_view text);
bool IsFileNameChar(unsigned char c);

// Drops the directory part and all but the last extension: "DIR\A.TAR.GZ" gives "A.GZ".
std::string ShortFileName(std::string_view word);

// indent blanks, then text, cut or filled with blanks to exactly width characters.
std::string FieldPad(size_t width, size_t indent, std::string_view text);

// Removes blanks and control characters at both ends.
std::string Trim(std::string_view text);
// The same as a view into the text.
std::string_view TrimView(std::string_view text);

// A whole decimal number with an optional sign; nothing else in the text.
std::optional<int64_t> ParseWholeNumber(std::string_view text);

// A whole number from 0 to 65535, blanks around it allowed (point numbers, zones).
std::optional<uint16_t> ParseWord16(std::string_view text);

}  // namespace vm
