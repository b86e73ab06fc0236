#include "text/encoding_kind.h"

#include "text/cp866.h"

namespace vm {

std::string EncodingLabel(EncodingKind kind) {
  switch (kind) {
    case EncodingKind::Uu: return "UU";
    case EncodingKind::Xx: return "XX";
    case EncodingKind::MimeBase64: return "MIME/base64";
    case EncodingKind::OwnText:
    case EncodingKind::FastPostText: return Cp866("текст");
    case EncodingKind::Crack: return "Crack";
    default: return "???";
  }
}

const std::string& OwnTextSeparator() {
  static const std::string separator =
      "-=" + std::string(28, '\xC4') + "< Veldmark >" + std::string(28, '\xC4') + "=-";
  return separator;
}

}  // namespace vm
