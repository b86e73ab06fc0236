#include "decode/data_line.h"

#include <array>
#include <cstdint>
#include <cstdlib>

#include "decode/alphabets.h"

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
    const uint32_t bits = t.place[0][data[i]] | t.place[1][data[i + 1]] |
                          t.place[2][data[i + 2]] | t.place[3][data[i + 3]];
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
  return DecodeGroups(data + 1, size - 1, static_cast<size_t>(announced), GroupTablesFor(kind),
                      out);
}

}  // namespace vm
