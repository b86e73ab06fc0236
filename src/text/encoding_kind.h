// The encodings a section or a found file can carry, with their display labels and the
// prefixes of the keys that gather sections of one file; the frame of the own text sections.
#pragma once

#include <cstdint>
#include <string>

namespace vm {

enum class EncodingKind : uint8_t {
  None = 0,
  UnknownUuXx = 1,  // a SECTION or BEGIN header before the look-ahead has decided
  Uu = 2,
  Xx = 3,
  MimeBase64 = 4,
  OwnText = 5,       // the program's own plain-text sections
  FastPostText = 6,  // FastPost plain-text sections
  Crack = 7,         // bracketed blocks
};

// "UU", "XX", "MIME/base64", "текст" (CP866), "Crack"; "???" for None.
std::string EncodingLabel(EncodingKind kind);

// The line that opens and closes the program's own text sections (CP866).
const std::string& OwnTextSeparator();

}  // namespace vm
