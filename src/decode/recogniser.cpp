#include "decode/recogniser.h"

#include <limits>
#include <optional>

#include "decode/data_line.h"
#include "msgbase/message_base.h"
#include "text/checksums.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

// Every header form starts with one of these letters (after blanks) or with "[" in the first
// column; the test spares the upper-casing of the many data and text lines.
bool MayOpenSection(std::string_view line) {
  if (!line.empty() && line[0] == '[') return true;
  size_t pos = 0;
  SkipBlanks(pos, line);
  if (pos >= line.size()) return false;
  switch (static_cast<unsigned char>(line[pos])) {
    case 'C':
    case 'c':  // CONTENT-TYPE:
    case 'T':
    case 't':  // TEXTSECTION
    case 'S':
    case 's':  // SECTION
    case 'B':
    case 'b':  // BEGIN
    case 0x91:
    case 0xE1:  // СЕКЦИЯ
      return true;
    default: return false;
  }
}

std::string NextWord(size_t& pos, std::string_view text) {
  SkipBlanks(pos, text);
  return GetWord(pos, text);
}

// A section number: a whole decimal number within 32 bits, else nothing.
std::optional<int32_t> ParseSectionNumber(std::string_view word) {
  auto value = ParseWholeNumber(word);
  if (!value || *value < std::numeric_limits<int32_t>::min() ||
      *value > std::numeric_limits<int32_t>::max())
    return std::nullopt;
  return static_cast<int32_t>(*value);
}

// A total that is no number, or below 1, means "not announced"; a huge one is kept as the
// largest 32-bit value (the catalogue caps totals anyway).
int32_t ParseTotal(std::string_view word) {
  auto value = ParseWholeNumber(word);
  if (!value || *value < 1) return 0;
  if (*value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(*value);
}

const std::string& RussianSection() {
  static const std::string text = Cp866("СЕКЦИЯ");
  return text;
}
const std::string& RussianOf() {
  static const std::string text = Cp866("ИЗ");
  return text;
}
const std::string& RussianOfFile() {
  static const std::string text = Cp866(" ФАЙЛА ");
  return text;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::string SectionRecogniser::NextUpperLine(uint16_t limit) {
  return UpCaseCp866(base_.NextLineView(limit));
}

SectionHeader SectionRecogniser::RecogniseSectionHeader(std::string_view line, int32_t textPos) {
  SectionHeader header;
  header.textPos = textPos;
  if (!MayOpenSection(line)) return header;

  const int32_t after = base_.TextPosition();
  const int32_t counter = state_.MessageLineCounter;
  if (Classify(line, header)) {
    header.key += std::to_string(StrCrc32(base_.FromName() + base_.ToName()));
    header.key = CutTo(header.key, kKeyWidth);
    return header;
  }
  // Not a header after all: the lines read ahead are ordinary text that the scan still has to
  // see (a quoted "begin" or an unclosed crack block must not hide a posting below it).
  if (base_.TextPosition() != after) {
    base_.StartReading();
    base_.SetTextPosition(after);
  }
  state_.MessageLineCounter = counter;
  SectionHeader none;
  none.textPos = textPos;
  return none;
}

bool SectionRecogniser::Classify(std::string_view line, SectionHeader& header) {
  std::string up = UpCaseCp866(line);
  size_t pos = 0;
  const std::string word = NextWord(pos, up);

  if (word == "CONTENT-TYPE:") return ReadMimeBlock(std::move(up), header);
  std::string prefix;
  if (word == "TEXTSECTION") {
    if (!ReadNumberedForm(up, pos, "OF", " OF FILE ", header)) return false;
    header.kind = EncodingKind::FastPostText;
    prefix = "FPTxt";
  } else if (word == RussianSection()) {
    if (!ReadNumberedForm(up, pos, RussianOf(), RussianOfFile(), header)) return false;
    header.kind = EncodingKind::OwnText;
    prefix = "VMKTxt";
  } else if (StartsWith(up, "[BEGINCRK]") || StartsWith(up, "[BEGINXCK]") ||
             StartsWith(up, "[BEGINCRX\"")) {
    return ReadCrackBlock(up, header);
  } else if (word == "SECTION") {
    if (!ReadNumberedForm(up, pos, "OF", " OF FILE ", header)) return false;
    header.kind = EncodingKind::UnknownUuXx;
  } else if (word == "BEGIN") {
    if (!ReadBeginLine(up, pos, header)) return false;
    header.kind = EncodingKind::UnknownUuXx;
  } else {
    return false;
  }

  header.fileName = ShortFileName(NextWord(pos, up));
  header.textPos = base_.TextPosition();
  if (header.kind == EncodingKind::UnknownUuXx) {
    header.kind = DetectUuOrXx();
    if (header.kind == EncodingKind::None) return false;
    prefix = header.kind == EncodingKind::Uu ? "UU" : "XX";
  }
  header.key = prefix + std::to_string(header.total) + header.fileName;
  return true;
}

bool SectionRecogniser::ReadNumberedForm(std::string_view up, size_t& pos, std::string_view ofWord,
                                         std::string_view ofFile, SectionHeader& header) {
  auto number = ParseSectionNumber(NextWord(pos, up));
  if (!number) return false;
  if (NextWord(pos, up) != ofWord) return false;
  const int32_t total = ParseTotal(NextWord(pos, up));
  size_t at = up.find(ofFile);
  if (at == std::string_view::npos) return false;
  header.number = *number;
  header.total = total;
  pos = at + ofFile.size();
  return true;
}

bool SectionRecogniser::ReadBeginLine(std::string_view up, size_t& pos, SectionHeader& header) {
  if (!ParseSectionNumber(NextWord(pos, up))) return false;  // the mode, e.g. 644
  header.number = 1;
  header.total = 0;
  return true;
}

EncodingKind SectionRecogniser::DetectUuOrXx() {
  for (;;) {
    if (base_.TextEnded() || state_.MessageLineCounter >= settings_.headerLines)
      return EncodingKind::None;
    ++state_.MessageLineCounter;
    std::string_view data = base_.NextLineView(254);
    size_t start = 0;
    SkipBlanks(start, data);
    data.remove_prefix(start);
    if (data.find(' ') != std::string_view::npos) continue;

    bool hasLower = false;
    for (char c : data) {
      if (UpCaseCp866(static_cast<unsigned char>(c)) != static_cast<unsigned char>(c)) {
        hasLower = true;
        break;
      }
    }
    // A full 45-byte line starts with the length character "h" in XX and "M" in UU.
    if (data.size() >= 61 && data[0] == 'h') return state_.CurrentDataKind = EncodingKind::Xx;
    if (data.size() >= 61 && data[0] == 'M' && !hasLower)
      return state_.CurrentDataKind = EncodingKind::Uu;
    const EncodingKind tentative = hasLower ? EncodingKind::Xx : EncodingKind::Uu;
    state_.CurrentDataKind = tentative;
    if (IsDataLine(data, tentative)) return tentative;
  }
}

}  // namespace vm
