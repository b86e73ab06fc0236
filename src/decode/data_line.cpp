#include "decode/data_line.h"

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

// Four characters give three bytes; groups are taken from data until count bytes are out.
size_t DecodeGroups(const unsigned char* data, size_t size, size_t count, const Alphabet& a,
                    unsigned char* out) {
  auto value = [&](size_t i) -> unsigned {
    if (i >= size) return 0;
    int v = a.Value(data[i]);
    return v < 0 ? 63u : static_cast<unsigned>(v);
  };
  size_t produced = 0;
  size_t i = 0;
  // Whole groups inside the line: the common case, without bounds tests per character.
  while (produced + 3 <= count && i + 4 <= size) {
    unsigned v0 = a.Value(data[i]), v1 = a.Value(data[i + 1]);
    unsigned v2 = a.Value(data[i + 2]), v3 = a.Value(data[i + 3]);
    // A character outside the alphabet reads as -1, that is all bits set: masking gives 63.
    v0 &= 63; v1 &= 63; v2 &= 63; v3 &= 63;
    out[produced] = static_cast<unsigned char>(v0 << 2 | v1 >> 4);
    out[produced + 1] = static_cast<unsigned char>((v1 & 15) << 4 | v2 >> 2);
    out[produced + 2] = static_cast<unsigned char>((v2 & 3) << 6 | v3);
    produced += 3;
    i += 4;
  }
  while (produced < count) {
    unsigned v0 = value(i), v1 = value(i + 1), v2 = value(i + 2), v3 = value(i + 3);
    unsigned char bytes[3] = {static_cast<unsigned char>(v0 << 2 | v1 >> 4),
                              static_cast<unsigned char>((v1 & 15) << 4 | v2 >> 2),
                              static_cast<unsigned char>((v2 & 3) << 6 | v3)};
    for (int k = 0; k < 3 && produced < count; ++k) out[produced++] = bytes[k];
    i += 4;
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
    return DecodeGroups(data, size, count, kBase64Alphabet, out);
  }
  if (size == 0) return 0;
  const Alphabet& alphabet = AlphabetFor(kind);
  // The length character's value: code - 32 for UU ("`" is 0), its position for XX.
  const int announced = alphabet.Value(data[0]);
  if (announced < 0) return 0;
  return DecodeGroups(data + 1, size - 1, static_cast<size_t>(announced), alphabet, out);
}

}  // namespace vm
