#include "text/text_helpers.h"

#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace vm {

std::string CutTo(std::string_view text, size_t width) {
  return std::string(text.substr(0, width));
}

void SkipBlanks(size_t& pos, std::string_view text) {
  while (pos < text.size() && static_cast<unsigned char>(text[pos]) <= 32) ++pos;
}

namespace {

// The characters that end a word, as a table: configuration readers scan every word of
// thousands of lines with it.
constexpr std::array<bool, 256> kWordEnds = [] {
  std::array<bool, 256> ends{};
  for (unsigned char c : {' ', '"', '%', ',', ';'}) ends[c] = true;
  return ends;
}();

// Sixteen bytes compared at once (GCC and Clang vectors: SSE2 on x86-64, NEON on ARM).
using Bytes16 = unsigned char __attribute__((vector_size(16)));

// The position of the first word end among sixteen bytes, or 16.
size_t FirstWordEnd(const char* at) {
  Bytes16 bytes;
  std::memcpy(&bytes, at, sizeof bytes);
  Bytes16 ends = (bytes == ' ') | (bytes == '"') | (bytes == '%') | (bytes == ',') | (bytes == ';');
  // Each lane is now 0 or 0xFF; the first 0xFF lane is the first end.
  uint64_t halves[2];
  std::memcpy(halves, &ends, sizeof halves);
  if constexpr (std::endian::native == std::endian::little) {
    if (halves[0] != 0) return static_cast<size_t>(std::countr_zero(halves[0])) / 8;
    if (halves[1] != 0) return 8 + static_cast<size_t>(std::countr_zero(halves[1])) / 8;
  } else {
    if (halves[0] != 0) return static_cast<size_t>(std::countl_zero(halves[0])) / 8;
    if (halves[1] != 0) return 8 + static_cast<size_t>(std::countl_zero(halves[1])) / 8;
  }
  return 16;
}

}  // namespace

std::string_view GetWordView(size_t& pos, std::string_view text) {
  std::string_view rest = text.substr(pos);
  size_t length = 0;
  while (length + 16 <= rest.size()) {
    size_t end = FirstWordEnd(rest.data() + length);
    length += end;
    if (end < 16) {
      pos += length;
      return rest.substr(0, length);
    }
  }
  while (length < rest.size() && !kWordEnds[static_cast<unsigned char>(rest[length])]) ++length;
  pos += length;
  return rest.substr(0, length);
}

std::string GetWord(size_t& pos, std::string_view text) {
  return std::string(GetWordView(pos, text));
}

std::string RemoveBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != ' ') out += c;
  return out;
}

std::string StripBracketed(std::string_view text) {
  std::string s(text);
  for (;;) {
    size_t open = s.find('[');
    size_t close = s.find(']');
    if (open == std::string::npos || close == std::string::npos) break;
    if (close < open) {
      s.erase(0, close + 1);
    } else {
      s.erase(open, close - open + 1);
    }
  }
  size_t pos = 0;
  SkipBlanks(pos, s);
  return s.substr(pos);
}

bool IsFileNameChar(unsigned char c) {
  switch (c) {
    case '!':
    case '#':
    case '$':
    case '%':
    case '\'':
    case '(':
    case ')':
    case '-':
    case '@':
    case '_':
    case '`':
    case '~': return true;
    default: break;
  }
  if (c >= '0' && c <= '9') return true;
  if (c >= 'A' && c <= 'Z') return true;
  if (c >= 'a' && c <= 'z') return true;
  if (c >= 128 && c <= 175) return true;
  if (c >= 224 && c <= 228) return true;
  if (c >= 230) return true;
  return false;
}

std::string KeepFileNameChars(std::string_view text) {
  std::string out;
  for (char c : text)
    if (IsFileNameChar(static_cast<unsigned char>(c))) out += c;
  return out;
}

std::string ShortFileName(std::string_view word) {
  // The directory part ends at the last path separator or drive colon.
  size_t dirEnd = word.find_last_of("\\/:");
  std::string_view rest = dirEnd == std::string_view::npos ? word : word.substr(dirEnd + 1);
  if (rest == "." || rest == "..") return std::string(rest);
  size_t dot = rest.rfind('.');
  std::string_view name = dot == std::string_view::npos ? rest : rest.substr(0, dot);
  std::string_view ext = dot == std::string_view::npos ? std::string_view() : rest.substr(dot);
  size_t innerDot = name.rfind('.');
  if (innerDot != std::string_view::npos) name = name.substr(0, innerDot);
  return std::string(name) + std::string(ext);
}

std::string FieldPad(size_t width, size_t indent, std::string_view text) {
  std::string out(indent, ' ');
  out += text;
  out.resize(width, ' ');
  return out;
}

std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

std::string_view TrimView(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
  return text.substr(b, e - b);
}

std::optional<int64_t> ParseWholeNumber(std::string_view text) {
  if (text.empty()) return std::nullopt;
  // from_chars takes a minus sign but no plus sign; "+-5" is no number.
  size_t start = text[0] == '+' && text.size() > 1 && text[1] != '-' ? 1 : 0;
  int64_t value = 0;
  auto [ptr, ec] = std::from_chars(text.data() + start, text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<uint16_t> ParseWord16(std::string_view text) {
  auto value = ParseWholeNumber(Trim(text));
  if (!value || *value < 0 || *value > 0xFFFF) return std::nullopt;
  return static_cast<uint16_t>(*value);
}

}  // namespace vm
