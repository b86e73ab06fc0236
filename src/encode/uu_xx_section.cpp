// UU and XX sections: a header line, on the first section the file time and "begin" line, the
// data lines, on the last the end lines, and the "sum -r/size" lines by which a reader checks
// the section's text and the whole file.
#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <string>

#include "encode/section_kinds.h"
#include "encode/section_writer.h"
#include "text/checksums.h"

namespace vm {
namespace {

constexpr size_t kLineBytes = 45;
constexpr size_t kLineChars = 61;

// The running "sum -r" and byte count of a section's text as a reader sees it: each line
// followed by a line feed.
struct TextSum {
  uint16_t sum = 0;
  int64_t size = 0;

  void AddLine(std::string_view line) {
    sum = BsdSumAdd(BsdSumAdd(sum, line.data(), line.size()), '\n');
    size += static_cast<int64_t>(line.size()) + 1;
  }
};

std::string SumLine(uint32_t sum, int64_t size, std::string_view what) {
  return "sum -r/size " + std::to_string(sum) + "/" + std::to_string(size) + " " +
         std::string(what);
}

// The three bytes of a group as one number, the first byte highest, read as one word (the
// buffer holds at least a byte more after every group).
uint32_t GroupBits(const unsigned char* group) {
  uint32_t word;
  std::memcpy(&word, group, sizeof word);
  if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap32(word);
  return word >> 8;
}

// One data line into `out`: the length character and four characters for every group of
// three bytes (a short last group read with the zero bytes after it), with the line's bytes
// added to the file sum and its characters and line feed to the section's text sum. The
// encoding and both sums go in one pass: each sum is a chain of dependent steps, and side by
// side the two chains and the table look-ups of the encoding run at once. Inlined, so that
// the usual whole line is encoded with constant bounds. Returns the characters written.
[[gnu::always_inline]] inline size_t EncodeSummedLine(const char* chars, const unsigned char* bytes,
                                                      size_t count, char* out, uint16_t& fileSum,
                                                      uint16_t& textSum) {
  uint16_t file = fileSum;
  uint16_t text = BsdSumAdd(textSum, static_cast<unsigned char>(chars[count]));
  char* p = out;
  *p++ = chars[count];
  const size_t whole = count / 3;
  const size_t groups = count == 0 ? 1 : (count + 2) / 3;
  for (size_t g = 0; g < groups; ++g, p += 4) {
    const unsigned char* group = bytes + 3 * g;
    if (g < whole) file = BsdSumAdd(BsdSumAdd(BsdSumAdd(file, group[0]), group[1]), group[2]);
    const uint32_t bits = GroupBits(group);
    const auto c0 = static_cast<unsigned char>(chars[bits >> 18]),
               c1 = static_cast<unsigned char>(chars[(bits >> 12) & 63]),
               c2 = static_cast<unsigned char>(chars[(bits >> 6) & 63]),
               c3 = static_cast<unsigned char>(chars[bits & 63]);
    p[0] = static_cast<char>(c0);
    p[1] = static_cast<char>(c1);
    p[2] = static_cast<char>(c2);
    p[3] = static_cast<char>(c3);
    text = BsdSumAdd(BsdSumAdd(BsdSumAdd(BsdSumAdd(text, c0), c1), c2), c3);
  }
  // The bytes of a short last group, after the whole groups.
  for (size_t i = whole * 3; i < count; ++i) file = BsdSumAdd(file, bytes[i]);
  fileSum = file;
  textSum = BsdSumAdd(text, '\n');
  return static_cast<size_t>(p - out);
}

// Encodes lines from the input until the section holds its lines or the file ends, and puts
// them into the message; the raw bytes go into the file sum, the lines into the section's
// text sum. The section's bytes are read at once, followed by zero bytes for a short last
// group (and for the word read of the last group). Neither buffer is cleared first: what is
// read of each was written.
void PutDataLines(SectionWork& work, const Alphabet& alphabet, TextSum& text) {
  constexpr size_t kZeroBytes = 3;
  const size_t lines = work.entry.linesPerSection < 1 ? 1 : work.entry.linesPerSection;
  const auto bytes =
      std::make_unique_for_overwrite<unsigned char[]>(lines * kLineBytes + kZeroBytes);
  const size_t size = work.file.input.Read(bytes.get(), lines * kLineBytes);
  std::fill_n(bytes.get() + size, kZeroBytes, 0);
  const auto body = std::make_unique_for_overwrite<char[]>(lines * (kLineChars + 1));
  uint16_t fileSum = static_cast<uint16_t>(work.entry.fileSum);
  uint16_t textSum = text.sum;
  const char* chars = alphabet.chars.data();
  char* out = body.get();
  for (size_t at = 0; at < size; at += kLineBytes) {
    const size_t count = std::min(kLineBytes, size - at);
    const size_t length =
        count == kLineBytes
            ? EncodeSummedLine(chars, bytes.get() + at, kLineBytes, out, fileSum, textSum)
            : EncodeSummedLine(chars, bytes.get() + at, count, out, fileSum, textSum);
    out[length] = '\r';
    out += length + 1;
    text.size += static_cast<int64_t>(length) + 1;
  }
  text.sum = textSum;
  work.entry.fileSum = fileSum;
  work.base.PutText(std::string_view(body.get(), static_cast<size_t>(out - body.get())));
}

// A single section posted again on its own starts its file sum at its own offset: the bytes
// before it are summed here, so that the "entire input file" line holds for the whole file.
void SumBytesBefore(SectionWork& work) {
  InputFile& input = work.file.input;
  const int64_t offset = input.Position();
  input.Seek(0);
  uint16_t sum = 0;
  unsigned char chunk[4096];
  for (int64_t left = offset; left > 0;) {
    const size_t n = input.Read(chunk, static_cast<size_t>(std::min<int64_t>(left, sizeof chunk)));
    if (n == 0) break;
    sum = BsdSumAdd(sum, chunk, n);
    left -= static_cast<int64_t>(n);
  }
  work.entry.fileSum = sum;
  input.Seek(offset);
}

}  // namespace

void WriteUuXxSection(SectionWork& work) {
  const bool uu = work.kind == EncodingKind::Uu;
  const Alphabet& alphabet = uu ? kUuAlphabet : kXxAlphabet;
  const std::string name = LowerAscii(work.entry.postedName);
  const int32_t total = work.file.total;
  MessageBase& base = work.base;

  base.PutLine("section " + std::to_string(work.number) + " of " + std::to_string(total) +
               " of file " + name + " < " + (uu ? "uuencoded" : "xxencoded") + " by " +
               std::string(kPosterName) + " >");
  base.PutLine("");
  if (work.last && (work.entry.flags & kSingleSection) && work.entry.offset > 0)
    SumBytesBefore(work);
  TextSum text;
  const bool first = work.number == 1;
  if (first) {
    const int32_t fileTime = static_cast<int32_t>(PackDosDateTime(work.file.modified));
    base.PutLine("filetime " + std::to_string(fileTime));
    // The section sum covers the "begin" line exactly as the message shows it.
    const std::string begin = "begin 644 " + name;
    base.PutLine(begin);
    text.AddLine(begin);
  }
  PutDataLines(work, alphabet, text);
  const std::string zeroLine(1, alphabet.Zero());
  if (work.last) {
    base.PutLine(zeroLine);
    base.PutLine("end");
    text.AddLine(zeroLine);
    text.AddLine("end");
  }
  base.PutLine("");

  std::string_view what;
  if (work.last)
    what = total <= 1 ? "section (from \"begin\" to \"end\")"
                      : "section (from first encoded line to \"end\")";
  else
    what = first ? "section (from \"begin\" to last encoded line)"
                 : "section (from first to last encoded line)";
  base.PutLine(SumLine(text.sum, text.size, what));
  if (work.last)
    base.PutLine(SumLine(work.entry.fileSum & 0xFFFF, work.file.size, "entire input file"));
  base.PutLine("");
}

}  // namespace vm
