// UpCaseCp866 through a table, for the loops that fold every tag, path and area id of a large
// configuration; eight bytes at a time where they are plain ASCII.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vm {

const std::array<unsigned char, 256>& Cp866UpperTable();

inline constexpr uint64_t kHighBits = 0x8080808080808080;

// Upper-cases eight bytes at once; none of them may have its high bit set. A byte gets 0x80
// added to it from 'a' on and again above 'z'; where only the first carried into the high
// bit, the byte is a small letter and loses 0x20.
constexpr uint64_t UpCaseAsciiWord(uint64_t bytes) {
  uint64_t fromA = bytes + 0x1F1F1F1F1F1F1F1F;
  uint64_t aboveZ = bytes + 0x0505050505050505;
  uint64_t small = fromA & ~aboveZ & kHighBits;
  return bytes - (small >> 2);
}

// Upper-cases the eight bytes of a word, whatever they are.
uint64_t UpCaseWordByTable(uint64_t bytes);
inline uint64_t UpCaseWord(uint64_t bytes) {
  return (bytes & kHighBits) == 0 ? UpCaseAsciiWord(bytes) : UpCaseWordByTable(bytes);
}

void UpCaseInPlace(std::string& text);

// Appends the text (which must not lie in to) upper-cased: one copy where a word becomes a
// field.
void AppendUpCased(std::string& to, std::string_view text);

}  // namespace vm
