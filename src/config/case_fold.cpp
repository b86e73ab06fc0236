#include "config/case_fold.h"

#include <cstring>

#include "text/cp866.h"

namespace vm {

const std::array<unsigned char, 256>& Cp866UpperTable() {
  static const std::array<unsigned char, 256> table = [] {
    std::array<unsigned char, 256> upper{};
    for (size_t c = 0; c < upper.size(); ++c) upper[c] = UpCaseCp866(static_cast<unsigned char>(c));
    return upper;
  }();
  return table;
}

uint64_t UpCaseWordByTable(uint64_t bytes) {
  const unsigned char* upper = Cp866UpperTable().data();
  uint64_t folded = 0;
  for (int shift = 0; shift < 64; shift += 8)
    folded |= uint64_t{upper[(bytes >> shift) & 0xFF]} << shift;
  return folded;
}

namespace {

uint64_t LoadWord(const char* at) {
  uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

void StoreWord(char* at, uint64_t word) { std::memcpy(at, &word, sizeof word); }

// Writes the folded bytes of from to to (which may be the same place). Folding twice gives what
// folding once gives, so a text of eight bytes or more ends with a word that overlaps the one
// before it. Every word is loaded from the source before the first store: a load that overlaps
// a store just made would wait for the store to finish.
void Fold(const char* from, char* to, size_t count) {
  if (count < 8) {
    const unsigned char* upper = Cp866UpperTable().data();
    for (size_t i = 0; i < count; ++i)
      to[i] = static_cast<char>(upper[static_cast<unsigned char>(from[i])]);
    return;
  }
  uint64_t last = UpCaseWord(LoadWord(from + count - 8));
  for (size_t i = 0; i + 8 < count; i += 8) StoreWord(to + i, UpCaseWord(LoadWord(from + i)));
  StoreWord(to + count - 8, last);
}

}  // namespace

void UpCaseInPlace(std::string& text) { Fold(text.data(), text.data(), text.size()); }

void AppendUpCased(std::string& to, std::string_view text) {
  size_t at = to.size();
  to.resize(at + text.size());
  Fold(text.data(), to.data() + at, text.size());
}

}  // namespace vm
