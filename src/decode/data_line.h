// One line of UU, XX or base64 data: whether a line looks like data, and its decoding.
#pragma once

#include <cstddef>
#include <string_view>

#include "text/encoding_kind.h"

namespace vm {

// A line never yields more bytes than this.
inline constexpr size_t kMaxLineBytes = 255;

// Whether the line is plausible data of the kind (Uu, Xx or MimeBase64): for UU and XX the
// length character must be in the alphabet and agree with the line length; base64 lines
// carry no "-" or blank.
bool IsDataLine(std::string_view line, EncodingKind kind);

// Decodes the line into out (room for kMaxLineBytes) and returns the number of bytes. UU and
// XX lines announce their byte count in the first character; base64 lines give it by their
// length and "=" padding. Characters outside the alphabet count as 63, characters missing at
// the end of a short line as 0.
size_t DecodeLine(std::string_view line, EncodingKind kind, unsigned char* out);

}  // namespace vm
