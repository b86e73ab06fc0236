#include "text/cp866.h"

#include <array>

namespace vm {
namespace {

// Unicode code points of CP866 bytes 0x80-0xFF.
constexpr std::array<char16_t, 128> kHigh = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B,
    0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433,
    0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B,
    0x044C, 0x044D, 0x044E, 0x044F, 0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0};

// The CP866 byte of a code point above 0x7F, or '?' when the code page has none. The Cyrillic
// letters, by far the most frequent, are found by arithmetic; the rest by a short search.
char UnicodeToCp866(char32_t cp) {
  if (cp >= 0x0410 && cp <= 0x043F) return static_cast<char>(0x80 + (cp - 0x0410));
  if (cp >= 0x0440 && cp <= 0x044F) return static_cast<char>(0xE0 + (cp - 0x0440));
  for (size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
  return '?';
}

// Length of the UTF-8 sequence a lead byte opens; 0 for a byte that cannot open one (a stray
// continuation byte, the overlong leads C0 and C1, and leads beyond U+10FFFF).
int SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

}  // namespace

unsigned char UpCaseCp866(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 160 && c <= 175) return static_cast<unsigned char>(c - 32);
  if (c >= 224 && c <= 239) return static_cast<unsigned char>(c - 80);
  if (c == 241) return 240;
  return c;
}

unsigned char LowCaseCp866(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 128 && c <= 143) return static_cast<unsigned char>(c + 32);
  if (c >= 144 && c <= 159) return static_cast<unsigned char>(c + 80);
  if (c == 240) return 241;
  return c;
}

std::string UpCaseCp866(std::string_view text) {
  std::string out(text);
  for (char& ch : out) ch = static_cast<char>(UpCaseCp866(static_cast<unsigned char>(ch)));
  return out;
}

std::string UpCaseAscii(std::string_view text) {
  std::string out(text);
  for (char& ch : out)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
  return out;
}

bool EqualNoCaseCp866(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpCaseCp866(static_cast<unsigned char>(a[i])) !=
        UpCaseCp866(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}
char32_t Cp866ToUnicode(unsigned char c) { return c < 0x80 ? c : kHigh[c - 0x80]; }

char32_t Cp866DisplayChar(unsigned char c) {
  // The glyphs of the PC character set for codes 0-31.
  static constexpr std::array<char16_t, 32> kControlGlyphs = {
      0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9,
      0x2642, 0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7,
      0x25AC, 0x21A8, 0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC};
  if (c < 32) return kControlGlyphs[c];
  if (c == 127) return 0x2302;
  return Cp866ToUnicode(c);
}

std::string Cp866ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char ch : text) AppendUtf8(out, Cp866ToUnicode(static_cast<unsigned char>(ch)));
  return out;
}

std::string Utf8ToCp866(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      ++i;
      continue;
    }
    // A malformed sequence gives one '?' for its lead byte and the continuation bytes that
    // followed it, and decoding resumes at the first byte that does not belong to it.
    int length = SequenceLength(lead);
    char32_t cp = length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
    size_t taken = 1;
    while (length > 0 && taken < static_cast<size_t>(length) && i + taken < text.size() &&
           (static_cast<unsigned char>(text[i + taken]) & 0xC0) == 0x80) {
      cp = (cp << 6) | (static_cast<unsigned char>(text[i + taken]) & 0x3F);
      ++taken;
    }
    bool complete = length > 0 && taken == static_cast<size_t>(length);
    bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
    out += complete && !overlong ? UnicodeToCp866(cp) : '?';
    i += taken;
  }
  return out;
}

std::optional<Cp866Char> Utf8CharToCp866(std::string_view text) {
  if (text.empty()) return std::nullopt;
  const unsigned char lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return Cp866Char{lead, 1};
  const int length = SequenceLength(lead);
  if (length == 0 || text.size() < static_cast<size_t>(length)) return std::nullopt;
  char32_t cp = length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
  for (int i = 1; i < length; ++i) {
    const unsigned char next = static_cast<unsigned char>(text[static_cast<size_t>(i)]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    cp = (cp << 6) | (next & 0x3F);
  }
  if ((length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000)) return std::nullopt;
  const char byte = UnicodeToCp866(cp);
  if (byte == '?') return std::nullopt;
  return Cp866Char{static_cast<unsigned char>(byte), static_cast<size_t>(length)};
}

}  // namespace vm
