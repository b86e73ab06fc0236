// The fixed 64-character alphabets of UU, XX and base64 data, with reverse tables so that a
// character's value is one lookup. A "table" line in a posting never changes them.
#pragma once

#include <array>
#include <cstdint>

#include "text/encoding_kind.h"

namespace vm {

struct Alphabet {
  std::array<char, 65> chars{};      // value -> character, null-terminated
  std::array<int8_t, 256> values{};  // character -> value, -1 outside the alphabet
  char Zero() const { return chars[0]; }
  int Value(unsigned char c) const { return values[c]; }
};

constexpr Alphabet MakeAlphabet(const char* chars) {
  Alphabet a;
  for (auto& v : a.values) v = -1;
  for (int i = 0; i < 64; ++i) {
    a.chars[static_cast<size_t>(i)] = chars[i];
    a.values[static_cast<unsigned char>(chars[i])] = static_cast<int8_t>(i);
  }
  a.chars[64] = '\0';
  return a;
}

// The backquote stands for zero instead of a blank, then "!" (1) through "_" (63).
inline constexpr Alphabet kUuAlphabet =
    MakeAlphabet("`!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_");
inline constexpr Alphabet kXxAlphabet =
    MakeAlphabet("+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
inline constexpr Alphabet kBase64Alphabet =
    MakeAlphabet("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");

// The alphabet of UU, XX or base64 data; UU for any other kind.
inline const Alphabet& AlphabetFor(EncodingKind kind) {
  if (kind == EncodingKind::Xx) return kXxAlphabet;
  if (kind == EncodingKind::MimeBase64) return kBase64Alphabet;
  return kUuAlphabet;
}

}  // namespace vm
