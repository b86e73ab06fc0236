#include "encode/section_writer.h"

#include "encode/section_kinds.h"

namespace vm {

size_t EncodeLineInto(const Alphabet& alphabet, const unsigned char* bytes, size_t count,
                      char* out) {
  const char* chars = alphabet.chars.data();
  char* p = out;
  *p++ = chars[count];
  const size_t groups = count == 0 ? 1 : (count + 2) / 3;
  for (size_t g = 0; g < groups; ++g, bytes += 3) {
    const unsigned b0 = bytes[0], b1 = bytes[1], b2 = bytes[2];
    p[0] = chars[b0 >> 2];
    p[1] = chars[((b0 << 4) | (b1 >> 4)) & 63];
    p[2] = chars[((b1 << 2) | (b2 >> 6)) & 63];
    p[3] = chars[b2 & 63];
    p += 4;
  }
  return static_cast<size_t>(p - out);
}

std::string EncodeLine(const Alphabet& alphabet, const unsigned char* bytes, size_t count) {
  // The line's bytes with the zero fill of its last group.
  unsigned char filled[66] = {};
  if (count > 63) count = 63;
  std::copy(bytes, bytes + count, filled);
  char out[1 + 4 * 21];
  return std::string(out, EncodeLineInto(alphabet, filled, count, out));
}

unsigned char HsubstChar(unsigned char c) {
  switch (c) {
    case 0x8D: return 'H';
    case 0xE3: return 'y';
    case 0xE0: return 'p';
    default: return c;
  }
}

std::string Hsubst(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(HsubstChar(static_cast<unsigned char>(c)));
  return out;
}

bool WriteSection(QueueEntry& entry, PostedFile& file, MessageBase& base, bool hsubst) {
  const int32_t number = SectionNumber(entry);
  SectionWork work{entry, file, base, SectionKind(entry.flags), number, number >= file.total,
                   hsubst};
  file.input.Seek(entry.offset);
  switch (work.kind) {
    case EncodingKind::Uu:
    case EncodingKind::Xx: WriteUuXxSection(work); break;
    case EncodingKind::MimeBase64: WriteMimeSection(work); break;
    default: WriteTextSection(work); break;
  }
  entry.offset = static_cast<int32_t>(file.input.Position());
  return work.last || (entry.flags & kSingleSection) != 0;
}

}  // namespace vm
