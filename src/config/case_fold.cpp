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

// Folds count bytes from in to out (which may be the same place).
void FoldBytes(const char* in, char* out, size_t count) {
  size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    uint64_t word;
    std::memcpy(&word, in + i, sizeof word);
    word = UpCaseWord(word);
    std::memcpy(out + i, &word, sizeof word);
  }
  const unsigned char* upper = Cp866UpperTable().data();
  for (; i < count; ++i) out[i] = static_cast<char>(upper[static_cast<unsigned char>(in[i])]);
}

}  // namespace

void UpCaseInPlace(std::string& text) { FoldBytes(text.data(), text.data(), text.size()); }

void AppendUpCased(std::string& to, std::string_view text) {
  size_t at = to.size();
  to.resize(at + text.size());
  FoldBytes(text.data(), to.data() + at, text.size());
}

}  // namespace vm
