// UU and XX sections: a header line, on the first section the file time and "begin" line, the
// data lines, on the last the end lines, and the "sum -r/size" lines by which a reader checks
// the section's text and the whole file.
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

// Encodes lines from the input until the section holds its lines or the file ends; the raw
// bytes go into the file sum, the lines into the section's text sum.
std::string DataLines(SectionWork& work, const Alphabet& alphabet, TextSum& text) {
  const int32_t lines = work.entry.linesPerSection < 1 ? 1 : work.entry.linesPerSection;
  std::string body;
  body.reserve(static_cast<size_t>(lines) * (kLineChars + 1));
  uint16_t fileSum = static_cast<uint16_t>(work.entry.fileSum);
  unsigned char bytes[kLineBytes + 3];
  char line[kLineChars];
  for (int32_t n = 0; n < lines && !work.file.input.AtEnd(); ++n) {
    std::fill(std::begin(bytes), std::end(bytes), 0);
    const size_t count = work.file.input.Read(bytes, kLineBytes);
    fileSum = BsdSumAdd(fileSum, bytes, count);
    const size_t length = EncodeLineInto(alphabet, bytes, count, line);
    text.AddLine({line, length});
    body.append(line, length);
    body.push_back('\r');
  }
  work.entry.fileSum = fileSum;
  return body;
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
  base.PutText(DataLines(work, alphabet, text));
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
