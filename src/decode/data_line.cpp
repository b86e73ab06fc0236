#include "decode/data_line.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "text/alphabets.h"

namespace vm {

bool IsDataLine(std::string_view line, EncodingKind kind) {
  if (kind == EncodingKind::MimeBase64) {
    // A last line of one to three bytes is four characters long ("AQ=="); shorter lines are
    // never data, longer ones must not look like a MIME header or text.
    if (line.size() < 4 || (line.size() < 6 && line.size() != 4)) return false;
    if (kBase64Alphabet.Value(static_cast<unsigned char>(line[0])) < 0) return false;
    for (char c : line)
      if (c == '-' || c == ' ') return false;
    if (line.size() == 4) {
      for (char c : line)
        if (c != '=' && kBase64Alphabet.Value(static_cast<unsigned char>(c)) < 0) return false;
    }
    return true;
  }
  if (line.size() < 2) return false;
  const Alphabet& alphabet = AlphabetFor(kind);
  int n = alphabet.Value(static_cast<unsigned char>(line[0]));
  // A length character outside the alphabet would let short text lines such as "end" pass
  // as data and decode into up to 255 stray bytes.
  if (n < 0) return false;
  int expected = static_cast<int>((line.size() - 1) / 4) * 3;
  return std::abs(n - expected) < 3;
}

namespace {

// Four characters give three bytes. For each alphabet and each of the four places in a group,
// what a character adds to the group's 24 bits, byte 0 in the low bits; a character outside
// the alphabet counts as 63.
struct GroupTables {
  std::array<std::array<uint32_t, 256>, 4> place{};
};

constexpr GroupTables MakeGroupTables(const Alphabet& a) {
  GroupTables t;
  for (int c = 0; c < 256; ++c) {
    const int value = a.values[static_cast<size_t>(c)];
    const uint32_t v = value < 0 ? 63u : static_cast<uint32_t>(value);
    t.place[0][static_cast<size_t>(c)] = v << 2;
    t.place[1][static_cast<size_t>(c)] = v >> 4 | (v & 15) << 12;
    t.place[2][static_cast<size_t>(c)] = (v >> 2) << 8 | (v & 3) << 22;
    t.place[3][static_cast<size_t>(c)] = v << 16;
  }
  return t;
}

constexpr GroupTables kUuGroups = MakeGroupTables(kUuAlphabet);
constexpr GroupTables kXxGroups = MakeGroupTables(kXxAlphabet);
constexpr GroupTables kBase64Groups = MakeGroupTables(kBase64Alphabet);

const GroupTables& GroupTablesFor(EncodingKind kind) {
  if (kind == EncodingKind::Xx) return kXxGroups;
  if (kind == EncodingKind::MimeBase64) return kBase64Groups;
  return kUuGroups;
}

// Groups are taken from data until count bytes are out; characters missing at the end of the
// line count as the alphabet's zero.
size_t DecodeGroups(const unsigned char* data, size_t size, size_t count, const GroupTables& t,
                    unsigned char* out) {
  size_t produced = 0;
  size_t i = 0;
  // Whole groups inside the line: the common case, without a test per character.
  for (; produced + 3 <= count && i + 4 <= size; produced += 3, i += 4) {
    const uint32_t bits = t.place[0][data[i]] | t.place[1][data[i + 1]] | t.place[2][data[i + 2]] |
                          t.place[3][data[i + 3]];
    out[produced] = static_cast<unsigned char>(bits);
    out[produced + 1] = static_cast<unsigned char>(bits >> 8);
    out[produced + 2] = static_cast<unsigned char>(bits >> 16);
  }
  // The last, partial group, or a line cut short.
  for (; produced < count; i += 4) {
    uint32_t bits = 0;
    for (size_t k = 0; k < 4; ++k) bits |= i + k < size ? t.place[k][data[i + k]] : 0;
    for (int k = 0; k < 3 && produced < count; ++k)
      out[produced++] = static_cast<unsigned char>(bits >> (8 * k));
  }
  return produced;
}

#if defined(__SSE2__)
// UU data sixteen characters at a time, for as long as whole blocks are in the alphabet and
// the announced count goes beyond them (each block stores one spare byte after its twelve,
// which must still lie inside the count). A character's value is its code - 32 masked to six
// bits, which gives the backquote 0. Returns the characters consumed; the bytes out are
// three for every four of them.
size_t DecodeUuBlocks(const unsigned char* data, size_t size, size_t count, unsigned char* out) {
  size_t i = 0;
  for (size_t produced = 0; i + 16 <= size && produced + 12 < count; i += 16, produced += 12) {
    const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    // In the alphabet: code - 33 (unsigned) below 64.
    const __m128i offset = _mm_sub_epi8(chars, _mm_set1_epi8(33));
    const __m128i inside = _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(63)), offset);
    if (_mm_movemask_epi8(inside) != 0xFFFF) break;
    const __m128i values = _mm_and_si128(_mm_sub_epi8(chars, _mm_set1_epi8(32)), _mm_set1_epi8(63));
    // Pairs of values into 12 bits (first << 6 | second), then pairs of those into 24 bits.
    const __m128i pairs = _mm_or_si128(
        _mm_slli_epi16(_mm_and_si128(values, _mm_set1_epi16(0xFF)), 6), _mm_srli_epi16(values, 8));
    const __m128i groups = _mm_madd_epi16(pairs, _mm_set1_epi32(0x00011000));
    // Each 32-bit lane holds the group's bytes last to first: put them in order.
    const __m128i ordered = _mm_or_si128(
        _mm_or_si128(_mm_srli_epi32(groups, 16), _mm_and_si128(groups, _mm_set1_epi32(0xFF00))),
        _mm_and_si128(_mm_slli_epi32(groups, 16), _mm_set1_epi32(0xFF0000)));
    auto store = [&](__m128i lane, size_t at) {
      const auto bytes = static_cast<uint32_t>(_mm_cvtsi128_si32(lane));
      std::memcpy(out + produced + at, &bytes, 4);
    };
    store(ordered, 0);
    store(_mm_srli_si128(ordered, 4), 3);
    store(_mm_srli_si128(ordered, 8), 6);
    store(_mm_srli_si128(ordered, 12), 9);
  }
  return i;
}
#endif

}  // namespace

size_t DecodeLine(std::string_view line, EncodingKind kind, unsigned char* out) {
  const auto* data = reinterpret_cast<const unsigned char*>(line.data());
  size_t size = line.size();
  if (kind == EncodingKind::MimeBase64) {
    size_t count = size / 4 * 3;
    size_t pad = line.find('=');
    if (pad != std::string_view::npos) {
      size_t cut = (pad + 1 < size && line[pad + 1] == '=') ? 2 : 1;
      count = count >= cut ? count - cut : 0;
      size -= cut;
    }
    return DecodeGroups(data, size, count, kBase64Groups, out);
  }
  if (size == 0) return 0;
  const Alphabet& alphabet = AlphabetFor(kind);
  // The length character's value: code - 32 for UU ("`" is 0), its position for XX.
  const int announced = alphabet.Value(data[0]);
  if (announced < 0) return 0;
  const auto count = static_cast<size_t>(announced);
  size_t done = 0;  // characters decoded ahead by whole blocks
#if defined(__SSE2__)
  if (kind != EncodingKind::Xx) done = DecodeUuBlocks(data + 1, size - 1, count, out);
#endif
  const size_t produced = done / 4 * 3;
  return produced + DecodeGroups(data + 1 + done, size - 1 - done, count - produced,
                                 GroupTablesFor(kind), out + produced);
}

}  // namespace vm
