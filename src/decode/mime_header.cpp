// MIME postings: a single-part base64 attachment, or one part of a MESSAGE/PARTIAL posting
// whose identifier gathers the parts. The attachment's headers come in every part (our own
// layout) or in the first part only, inside an enclosed multipart message (mpack's); a
// Content-MD5 header and a size= parameter say what the decoded file must be.
#include <algorithm>
#include <optional>

#include "decode/data_line.h"
#include "decode/recogniser.h"
#include "msgbase/message_base.h"
#include "text/cp866.h"
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

// A boundary parameter, quoted or not, as written (boundaries are compared as they are).
std::string BoundaryValue(std::string_view raw, size_t pos) {
  if (pos < raw.size() && raw[pos] == '"') {
    const size_t close = raw.find('"', pos + 1);
    return std::string(
        raw.substr(pos + 1, close == std::string_view::npos ? close : close - pos - 1));
  }
  const size_t end = raw.find_first_of("; \t", pos);
  return std::string(raw.substr(pos, end == std::string_view::npos ? end : end - pos));
}

// The 16 bytes of a Content-MD5 value (base64 of the digest); empty when it is none.
std::string Md5Value(std::string_view raw, size_t pos) {
  const std::string_view value = TrimView(raw.substr(std::min(pos, raw.size())));
  if (value.size() != 24 || value.substr(22) != "==") return std::string();
  unsigned char bytes[kMaxLineBytes];
  if (DecodeLine(value, EncodingKind::MimeBase64, bytes) != 16) return std::string();
  return std::string(reinterpret_cast<const char*>(bytes), 16);
}

// "size=N" among a header's parameters (RFC 2183): the attachment's length in bytes.
void ReadSizeParameter(std::string_view up, SectionHeader& header) {
  for (size_t at = up.find("SIZE="); at != std::string_view::npos; at = up.find("SIZE=", at + 1)) {
    if (at > 0 && up[at - 1] != ';' && up[at - 1] != ' ' && up[at - 1] != '\t') continue;
    auto value = ParseWholeNumber(TrimView(GetWordView(at += 5, up)));
    if (value && *value >= 0) header.statedSize = *value;
    return;
  }
}

}  // namespace

bool SectionRecogniser::ReadMimeBlock(std::string_view line, SectionHeader& header) {
  header.kind = EncodingKind::MimeBase64;
  std::string raw(line);
  std::string up = UpCaseCp866(raw);
  // The data start after the blank line that ends the headers: never on a header line, whose
  // parameters (a name="..." on a folded line among them) would pass for base64.
  int32_t lineStart = header.textPos;
  bool folded = false;  // the line continues the header above it
  bool partial = false;
  // The delimiter line of a multipart message enclosed in part 1 of a message/partial
  // posting (mpack's layout): the attachment's headers follow it, after a preamble.
  std::string delimiter;
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
          ReadSizeParameter(up, header);
          if (!FindNameParameter(up, header)) return false;
        } else if (type == "MESSAGE/PARTIAL") {
          partial = true;
          if (!ReadPartialParameters(up, header)) return false;
        } else if (type.rfind("MULTIPART/", 0) == 0) {
          const size_t at = ValueAfter(up, "BOUNDARY=");
          if (at != std::string::npos) delimiter = "--" + BoundaryValue(raw, at);
        }
      } else if (word == "CONTENT-DISPOSITION:") {
        ReadSizeParameter(up, header);
      } else if (word == "CONTENT-MD5:") {
        header.contentMd5 = Md5Value(raw, pos);
      } else if (!IsHeaderName(word)) {
        if (delimiter.empty() || !header.fileName.empty()) {
          // Neither a header nor a blank line: the data start right here.
          header.textPos = lineStart;
          break;
        }
        // The preamble of the enclosed multipart message, up to its first delimiter.
        while (TrimView(raw) != delimiter && !base_.TextEnded()) raw = base_.NextLineView(255);
        if (TrimView(raw) != delimiter) return false;
        delimiter.clear();
      }
    }
    if (base_.TextEnded()) break;
    // A line cut at the reading width goes on in the next one, as does a header folded onto
    // lines that start with a blank or a tab.
    folded = base_.LineWasWrapped();
    lineStart = base_.TextPosition();
    raw = base_.NextLineView(78);
    up = UpCaseCp866(raw);
    folded = folded || (!up.empty() && (up[0] == ' ' || up[0] == '\t'));
  }
  // The parts after the first of a message/partial posting that gives the attachment's
  // headers in its first part only.
  if (partial && header.fileName.empty()) header.form = PostingForm::MimePartialOnce;
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
