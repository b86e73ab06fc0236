#include "decode/recogniser.h"

#include <limits>
#include <optional>

#include "decode/data_line.h"
#include "msgbase/message_base.h"
#include "text/alphabets.h"
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
  const std::string_view rest = line.substr(pos);
  switch (static_cast<unsigned char>(line[pos])) {
    case '_': return rest.substr(0, 3) == "_=_";  // uuenview's "_=_ Part ..."
    case 'P':
    case 'p':  // PART, tested here since base64 data lines start with any letter
      return rest.size() > 5 && (rest[1] | 0x20) == 'a' && (rest[2] | 0x20) == 'r' &&
             (rest[3] | 0x20) == 't' && rest[4] == ' ';
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

// A name that runs to the end of its line, as "begin" lines and uuenview's part lines give
// it: blanks inside belong to it. Without long file names it is made an 8.3 name (blanks
// dropped, eight characters of name and three of extension).
std::string WholeFileName(std::string_view text, bool longFileNames) {
  std::string name = ShortFileName(TrimView(text));
  if (longFileNames || name == "." || name == "..") return name;
  name = RemoveBlanks(name);
  const size_t dot = name.rfind('.');
  std::string base = name.substr(0, dot);
  std::string ext = dot == std::string::npos ? std::string() : name.substr(dot, 4);
  return CutTo(base, 8) + ext;
}

// A line of base64 as posters write it: whole groups of four characters of the alphabet, the
// last group possibly padded with "=".
bool LooksLikeBase64Line(std::string_view line) {
  if (line.size() < 8 || line.size() % 4 != 0) return false;
  size_t end = line.size();
  if (line[end - 1] == '=') --end;
  if (line[end - 1] == '=') --end;
  for (size_t i = 0; i < end; ++i)
    if (kBase64Alphabet.Value(static_cast<unsigned char>(line[i])) < 0) return false;
  return true;
}

bool HasLowerCase(std::string_view data) {
  for (char c : data)
    if (UpCaseCp866(static_cast<unsigned char>(c)) != static_cast<unsigned char>(c)) return true;
  return false;
}

// UU or XX for a data line: a full 45-byte line starts with "M" in UU (which has no lower
// case letters) and with "h" in XX; shorter lines go by their letters.
EncodingKind UuOrXxByLetters(std::string_view data) {
  const bool hasLower = HasLowerCase(data);
  if (data.size() >= 61 && data[0] == 'h') return EncodingKind::Xx;
  if (data.size() >= 61 && data[0] == 'M' && !hasLower) return EncodingKind::Uu;
  return hasLower ? EncodingKind::Xx : EncodingKind::Uu;
}

// A line of encoded data by itself, without a header to say which encoding: base64 groups,
// or a UU or XX line whose every character is in its alphabet. None for anything else.
EncodingKind DataKindOf(std::string_view line) {
  if (line.empty() || line.find(' ') != std::string_view::npos) return EncodingKind::None;
  if (LooksLikeBase64Line(line)) return EncodingKind::MimeBase64;
  const EncodingKind kind = UuOrXxByLetters(line);
  const Alphabet& alphabet = AlphabetFor(kind);
  for (char c : line)
    if (alphabet.Value(static_cast<unsigned char>(c)) < 0) return EncodingKind::None;
  return IsDataLine(line, kind) ? kind : EncodingKind::None;
}

const char* KeyPrefix(EncodingKind kind) {
  switch (kind) {
    case EncodingKind::Uu: return "UU";
    case EncodingKind::Xx: return "XX";
    case EncodingKind::MimeBase64: return "MIME";
    default: return "";
  }
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

  if (word == "CONTENT-TYPE:") return ReadMimeBlock(line, header);
  if (word == "_=_" || word == "PART") {
    if (word == "_=_" && NextWord(pos, up) != "PART") return false;
    return ReadUuenviewPart(up, pos, header);
  }
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

  const bool beginLine = word == "BEGIN";
  // A begin line names its file up to the end of the line, as uudecode reads it.
  header.fileName = beginLine
                        ? WholeFileName(std::string_view(up).substr(pos), settings_.longFileNames)
                        : ShortFileName(NextWord(pos, up));
  header.textPos = base_.TextPosition();
  if (header.kind == EncodingKind::UnknownUuXx) {
    header.kind = DetectUuOrXx();
    if (header.kind == EncodingKind::None) return false;
    prefix = KeyPrefix(header.kind);
  }
  header.key = prefix + std::to_string(header.total) + header.fileName;
  if (beginLine) AdoptSubjectNumbering(header, std::string_view(up).substr(pos));
  return true;
}

bool SectionRecogniser::ReadUuenviewPart(std::string_view up, size_t& pos, SectionHeader& header) {
  if (!ReadNumberedForm(up, pos, "OF", " OF FILE ", header)) return false;
  header.form = PostingForm::UuenviewPart;
  header.fileName = WholeFileName(up.substr(pos), true);
  header.textPos = base_.TextPosition();
  // uuenview writes UU, XX or bare base64 after the same part line.
  header.kind = DetectDataKind(true);
  if (header.kind == EncodingKind::None) return false;
  header.key = KeyPrefix(header.kind) + std::to_string(header.total) + header.fileName;
  return true;
}

void SectionRecogniser::StartMessage(std::string_view subject) {
  subjectNumbering_ = ParseSubjectNumbering(subject);
}

std::string SectionRecogniser::SubjectKeyName() const {
  return UpCaseCp866(WholeFileName(subjectNumbering_->name, true));
}

void SectionRecogniser::AdoptSubjectNumbering(SectionHeader& header, std::string_view beginName) {
  if (!subjectNumbering_ || subjectNumbering_->number != 1 || subjectNumbering_->total < 2) return;
  // "pack.zip (1/3)" numbers the begin line of pack.zip; another name numbers something else.
  const std::string named = UpCaseCp866(subjectNumbering_->name);
  if (named.find(Trim(beginName)) == std::string::npos) return;
  header.total = subjectNumbering_->total;
  header.form = PostingForm::SubjectNumbered;
  header.key = KeyPrefix(header.kind) + std::to_string(header.total) + SubjectKeyName();
}

SectionHeader SectionRecogniser::RecogniseNumberedBody() {
  SectionHeader header;
  if (!subjectNumbering_) return header;
  base_.StartReading();
  state_.MessageLineCounter = 0;
  // The first data line, and the kind it showed; confirmed by the line after it (more data
  // of the same kind, or the end lines of UU and XX), or by being a full line itself.
  int32_t candidatePos = 0;
  EncodingKind candidate = EncodingKind::None;
  while (!base_.TextEnded() && state_.MessageLineCounter < settings_.headerLines) {
    ++state_.MessageLineCounter;
    const int32_t textPos = base_.TextPosition();
    std::string_view line = base_.NextLineView(255);
    if (!line.empty() && line[0] == '\x01') break;  // kludges after the text: the text is over
    line = TrimView(line);
    const EncodingKind kind = DataKindOf(line);
    const bool endLine = line == "`" || line == "+" || line == "end";
    if (candidate != EncodingKind::None &&
        (kind == candidate || (endLine && candidate != EncodingKind::MimeBase64)))
      break;
    candidate = kind;
    candidatePos = textPos;
    if (kind != EncodingKind::None && line.size() >= 60) break;
  }
  if (candidate == EncodingKind::None) return header;
  header.kind = candidate;
  header.form = PostingForm::SubjectNumbered;
  header.number = subjectNumbering_->number;
  header.total = subjectNumbering_->total;
  header.textPos = candidatePos;
  header.fileName = UpCaseCp866(WholeFileName(subjectNumbering_->name, settings_.longFileNames));
  header.nameFromSubject = true;
  header.key = KeyPrefix(candidate) + std::to_string(header.total) + SubjectKeyName();
  header.key += std::to_string(StrCrc32(base_.FromName() + base_.ToName()));
  header.key = CutTo(header.key, kKeyWidth);
  return header;
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

EncodingKind SectionRecogniser::DetectDataKind(bool allowBase64) {
  for (;;) {
    if (base_.TextEnded() || state_.MessageLineCounter >= settings_.headerLines)
      return EncodingKind::None;
    ++state_.MessageLineCounter;
    std::string_view data = base_.NextLineView(254);
    size_t start = 0;
    SkipBlanks(start, data);
    data.remove_prefix(start);
    if (data.find(' ') != std::string_view::npos) continue;
    // Base64 lines are whole groups of four; UU and XX lines have the length character
    // besides, so that they never are.
    if (allowBase64 && LooksLikeBase64Line(data))
      return state_.CurrentDataKind = EncodingKind::MimeBase64;
    const EncodingKind kind = UuOrXxByLetters(data);
    state_.CurrentDataKind = kind;
    const bool fullLine =
        data.size() >= 61 && (data[0] == 'h' || (data[0] == 'M' && kind == EncodingKind::Uu));
    if (fullLine || IsDataLine(data, kind)) return kind;
  }
}

}  // namespace vm
