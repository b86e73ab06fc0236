#include "config/config_lines.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "config/case_fold.h"
#include "platform/file.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

// Sixteen bytes compared at once (GCC and Clang vectors: SSE2 on x86-64, NEON on ARM).
using Bytes16 = unsigned char __attribute__((vector_size(16)));

// The bytes that the line rules act on: a line end, a tab and the DOS end of file.
bool IsRuleByte(char c) {
  return c == '\n' || c == '\t' || c == '\x1A';
}

// The position of the first rule byte from `from` on, or size.
size_t NextRuleByte(const char* data, size_t from, size_t size) {
  size_t i = from;
  for (; i + 16 <= size; i += 16) {
    Bytes16 bytes;
    std::memcpy(&bytes, data + i, sizeof bytes);
    Bytes16 hits = (bytes == '\n') | (bytes == '\t') | (bytes == '\x1A');
    // Each lane is now 0 or 0xFF; the first 0xFF lane is the first rule byte.
    uint64_t halves[2];
    std::memcpy(halves, &hits, sizeof halves);
    if ((halves[0] | halves[1]) == 0) continue;
    uint64_t half = halves[0] != 0 ? halves[0] : halves[1];
    size_t lane = std::endian::native == std::endian::little
                      ? static_cast<size_t>(std::countr_zero(half)) / 8
                      : static_cast<size_t>(std::countl_zero(half)) / 8;
    return i + (halves[0] != 0 ? 0 : 8) + lane;
  }
  while (i < size && !IsRuleByte(data[i])) ++i;
  return i;
}

// Reads the rest of the file into contents. A file that grows while it is read is read to its
// new end; one that shrinks ends where the reads end.
bool ReadRest(File& file, std::string& contents) {
  int64_t size = file.Size();
  // One byte more than the file holds, so that a full buffer means the file grew.
  contents.resize(size > 0 ? static_cast<size_t>(size) + 1 : 4096);
  size_t have = 0;
  for (;;) {
    size_t n = file.Read(contents.data() + have, contents.size() - have);
    have += n;
    if (have < contents.size() || file.LastError() != 0) break;
    contents.resize(contents.size() * 2);
  }
  contents.resize(have);
  return file.LastError() == 0;
}

// Splits the text into lines in one pass: the text ends at the first Ctrl-Z (contents is cut
// there), tabs become blanks, a line ends at LF with a CR before it dropped, and each line is
// cut to kMaxText characters.
void SplitLines(std::string& contents, std::vector<std::string_view>& lines) {
  char* data = contents.data();
  size_t size = contents.size();
  auto addLine = [&lines](std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line.substr(0, kMaxText));
  };
  size_t lineStart = 0;
  for (size_t i = NextRuleByte(data, 0, size); i < size; i = NextRuleByte(data, i + 1, size)) {
    if (data[i] == '\x1A') {
      size = i;
      break;
    }
    if (data[i] == '\t') {
      data[i] = ' ';
    } else {
      addLine(std::string_view(data + lineStart, i - lineStart));
      lineStart = i + 1;
    }
  }
  if (lineStart < size) addLine(std::string_view(data + lineStart, size - lineStart));
  contents.resize(size);
}

}  // namespace

bool ReadConfigText(std::string_view path, ConfigText& text, int& error) {
  text.contents.clear();
  text.lines.clear();
  error = 0;
  File file;
  if (!file.Open(path, OpenMode::Read) || !ReadRest(file, text.contents)) {
    error = file.LastError();
    text.contents.clear();
    return false;
  }
  SplitLines(text.contents, text.lines);
  return true;
}

std::string NextUpperWord(size_t& pos, std::string_view line) {
  SkipBlanks(pos, line);
  std::string word = GetWord(pos, line);
  UpCaseInPlace(word);
  return word;
}

}  // namespace vm
