// MIME postings: a single-part base64 attachment, or one part of a MESSAGE/PARTIAL posting
// whose identifier gathers the parts.
#include <optional>

#include "decode/recogniser.h"
#include "msgbase/message_base.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

bool IsBlankLine(std::string_view line) {
  size_t pos = 0;
  SkipBlanks(pos, line);
  return pos >= line.size();
}

// "Content-Disposition:", "MIME-Version:" and the like: the first word of a header line.
bool IsHeaderName(std::string_view word) { return word.size() > 1 && word.back() == ':'; }

// Position just after "key" and the blanks that follow it, or npos.
size_t ValueAfter(std::string_view line, std::string_view key) {
  size_t at = line.find(key);
  if (at == std::string_view::npos) return at;
  size_t pos = at + key.size();
  SkipBlanks(pos, line);
  return pos;
}

// A quoted parameter value: the character after the blanks is taken as the opening quotation
// mark and skipped, whatever it is (so an unquoted value loses its first character).
std::string QuotedValue(std::string_view line, size_t pos) {
  if (pos < line.size()) ++pos;
  return GetWord(pos, line);
}

std::optional<int32_t> NumberValue(std::string_view line, size_t pos) {
  auto value = ParseWholeNumber(GetWord(pos, line));
  if (!value || *value < -2147483647 || *value > 2147483647) return std::nullopt;
  return static_cast<int32_t>(*value);
}

}  // namespace

bool SectionRecogniser::ReadMimeBlock(std::string up, SectionHeader& header) {
  header.kind = EncodingKind::MimeBase64;
  // The data start after the blank line that ends the headers: never on a header line, whose
  // parameters (a name="..." on a folded line among them) would pass for base64.
  int32_t lineStart = header.textPos;
  bool folded = false;  // the line continues the header above it
  for (;;) {
    if (IsBlankLine(up)) {
      header.textPos = base_.TextPosition();
      // Done unless the headers of the attachment follow those of a message/partial part.
      if (!header.key.empty() && !header.fileName.empty() && header.number != 0) break;
    } else if (!folded) {
      size_t pos = 0;
      SkipBlanks(pos, up);
      const std::string word = GetWord(pos, up);
      if (word == "CONTENT-TRANSFER-ENCODING:") {
        SkipBlanks(pos, up);
        if (GetWord(pos, up) != "BASE64") return false;
      } else if (word == "CONTENT-TYPE:") {
        SkipBlanks(pos, up);
        const std::string type = GetWord(pos, up);
        if (type == "APPLICATION/OCTET-STREAM") {
          if (!FindNameParameter(up, header)) return false;
        } else if (type == "MESSAGE/PARTIAL") {
          if (!ReadPartialParameters(up, header)) return false;
        }
      } else if (!IsHeaderName(word)) {
        // Neither a header nor a blank line: the data start right here.
        header.textPos = lineStart;
        break;
      }
    }
    if (base_.TextEnded()) break;
    // A line cut at the reading width goes on in the next one, as does a header folded onto
    // lines that start with a blank or a tab.
    folded = base_.LineWasWrapped();
    lineStart = base_.TextPosition();
    up = NextUpperLine(78);
    folded = folded || (!up.empty() && (up[0] == ' ' || up[0] == '\t'));
  }
  return header.number != 0;
}

bool SectionRecogniser::FindNameParameter(std::string& up, SectionHeader& header) {
  // The name may stand on one of the eight lines after the content type, before the blank
  // line that ends the headers.
  for (int further = 0;; ++further) {
    size_t pos = ValueAfter(up, "NAME=");
    if (pos != std::string::npos) {
      header.fileName = QuotedValue(up, pos);
      break;
    }
    if (further == 8 || IsBlankLine(up) || base_.TextEnded()) return false;
    up = NextUpperLine(78);
  }
  if (header.number == 0) header.number = 1;
  if (header.total == 0) header.total = 1;
  if (header.key.empty()) header.key = "MIME" + std::to_string(header.total) + header.fileName;
  return true;
}

bool SectionRecogniser::ReadPartialParameters(std::string& up, SectionHeader& header) {
  for (int pass = 1; pass <= 5; ++pass) {
    if (IsBlankLine(up)) return false;  // the headers ended without them
    size_t idPos = ValueAfter(up, "ID=");
    if (idPos != std::string::npos) header.key = QuotedValue(up, idPos);
    size_t totalPos = ValueAfter(up, "TOTAL=");
    if (totalPos != std::string::npos) {
      auto total = NumberValue(up, totalPos);
      if (!total) return false;
      header.total = *total < 0 ? 0 : *total;
    }
    size_t numberPos = ValueAfter(up, "NUMBER=");
    if (numberPos != std::string::npos) {
      auto number = NumberValue(up, numberPos);
      if (!number) return false;
      header.number = *number;
    }
    if (!header.key.empty() && header.number != 0) return true;
    const bool needId = idPos == std::string::npos && header.key.empty();
    const bool needNumber = numberPos == std::string::npos && header.number == 0;
    if (needId || needNumber) {
      if (base_.TextEnded()) return false;
      up = NextUpperLine(255);
    }
  }
  return false;
}

}  // namespace vm
