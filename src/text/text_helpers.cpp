#include "text/text_helpers.h"

#include <charconv>

namespace vm {

std::string CutTo(std::string_view text, size_t width) {
  return std::string(text.substr(0, width));
}

void SkipBlanks(size_t& pos, std::string_view text) {
  while (pos < text.size() && static_cast<unsigned char>(text[pos]) <= 32) ++pos;
}

std::string GetWord(size_t& pos, std::string_view text) {
  size_t start = pos;
  while (pos < text.size()) {
    char c = text[pos];
    if (c == ' ' || c == '"' || c == '%' || c == ',' || c == ';') break;
    ++pos;
  }
  return std::string(text.substr(start, pos - start));
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
    case '~':
      return true;
    default:
      break;
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

std::string Trim(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
  return std::string(text.substr(b, e - b));
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

}  // namespace vm
