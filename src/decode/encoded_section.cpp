// UU, XX and MIME base64 sections, with the "sum -r/size" checks of UU and XX posters.
#include <string>
#include <string_view>
#include <vector>

#include "decode/data_line.h"
#include "decode/section_decoders.h"
#include "msgbase/message_base.h"
#include "text/alphabets.h"
#include "text/text_helpers.h"

namespace vm {

FileDecodeWork::FileDecodeWork() : buffer(kSectionBufferSize + kMaxLineBytes) {}

void FileDecodeWork::StartFile() {
  count = 0;
  fileTime = 0;
  checks.StartFile();
}

namespace {

constexpr uint16_t kLineLimit = 78;

// A line as the data tests see it: leading codes 0-32 removed, remaining blanks read as the
// alphabet's zero character (mail software turns backquotes into blanks). Most lines need
// neither, and are used in place.
std::string_view DataView(std::string_view raw, char zero, std::string& scratch) {
  if (!raw.empty() && static_cast<unsigned char>(raw[0]) > 32 &&
      raw.find(' ') == std::string_view::npos)
    return raw;
  size_t start = 0;
  SkipBlanks(start, raw);
  scratch.assign(raw.substr(start));
  for (char& c : scratch)
    if (c == ' ') c = zero;
  return scratch;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The section's text as "sum -r" reads it: each line followed by a line feed.
void AddLine(std::string& text, std::string_view line) {
  text.append(line);
  text.push_back('\n');
}

bool OpensNextSection(std::string_view line) {
  return StartsWith(line, "section ") || StartsWith(line, "begin ");
}

int64_t NumberOr(std::string_view text, int64_t fallback) {
  auto value = ParseWholeNumber(text);
  return value ? *value : fallback;
}

// "sum -r/size 12345/7382 section ..." or "... entire input file": the values the poster
// computed over the section's text or the file's data; nothing for another kind of sum line.
void ReadSumLine(std::string_view line, std::vector<SumClaim>& claims) {
  size_t pos = 4;  // after "sum "
  if (line.size() < pos || GetWordView(pos, line) != "-r/size") return;
  SkipBlanks(pos, line);
  const std::string_view values = GetWordView(pos, line);
  SkipBlanks(pos, line);
  const std::string_view what = GetWordView(pos, line);
  if (what != "section" && what != "entire") return;
  SumClaim claim;
  claim.entireFile = what == "entire";
  if (const size_t slash = values.find('/'); slash != std::string_view::npos) {
    claim.sum = NumberOr(values.substr(0, slash), -1);
    claim.length = NumberOr(values.substr(slash + 1), -1);
  }
  claims.push_back(claim);
}

}  // namespace

uint8_t DecodeEncodedSection(MessageBase& base, FileDecodeWork& work, EncodingKind kind,
                             int32_t total, int32_t number) {
  const char zero = AlphabetFor(kind).Zero();
  const std::string zeroLine(1, zero);
  std::string& text = work.sectionText;
  text.clear();
  work.claims.clear();
  work.count = 0;
  uint8_t result = 0;
  // The line just read (valid until the next read), and the same as the data tests see it
  // (in raw or in scratch; empty for a kludge line, which is never data).
  std::string_view raw;
  std::string scratch;
  std::string_view line;
  bool endLine = false;  // the "end" line of UU and XX was met after the data
  auto readLine = [&] {
    raw = base.NextLineView(kLineLimit);
    line = IsKludgeLine(raw) || IsTearLine(raw) ? std::string_view() : DataView(raw, zero, scratch);
    if (TrimView(raw) == "end") endLine = true;
  };

  // Up to the first data line: skip "table" lines, take the file time, count "begin". A
  // kludge line on the way means the section has no data.
  for (;;) {
    raw = base.NextLineView(kLineLimit);
    if (IsKludgeLine(raw)) {
      line = {};
      break;
    }
    if (raw.find("table") != std::string_view::npos) {
      // The two lines of the table are skipped; the alphabets are fixed.
      for (int i = 0; i < 3; ++i) raw = base.NextLineView(kLineLimit);
    }
    size_t at = raw.find("filetime ");
    if (at != std::string_view::npos) {
      auto value = ParseWholeNumber(Trim(raw.substr(at + 9)));
      if (value) work.fileTime = static_cast<int32_t>(static_cast<uint32_t>(*value));
    }
    if (raw.find("begin ") != std::string_view::npos) AddLine(text, raw);
    line = IsTearLine(raw) ? std::string_view() : DataView(raw, zero, scratch);
    if (IsDataLine(line, kind) || base.TextEnded()) break;
    // The end-of-data line of UU and XX: a last section that holds only the end lines (as
    // "split" leaves it) has no data at all.
    if (kind != EncodingKind::MimeBase64 && line == zeroLine) break;
  }

  unsigned char* buffer = work.buffer.data();
  const bool sawData = IsDataLine(line, kind);
  const bool base64 = kind == EncodingKind::MimeBase64;
  bool padded = false;   // a base64 line ended in "=": the file's data end there
  bool cutLine = false;  // a base64 line that is no whole number of groups
  while (work.count < kSectionBufferSize && IsDataLine(line, kind)) {
    if (base64) {
      padded = padded || line.back() == '=';
      cutLine = cutLine || line.size() % 4 != 0;
    }
    size_t n = DecodeLine(line, kind, buffer + work.count);
    if (n > kSectionBufferSize - work.count) n = kSectionBufferSize - work.count;
    AddLine(text, line);
    work.count += n;
    if (base.TextEnded()) {
      raw = line = {};
      break;
    }
    readLine();
    // One stray line inside the data is passed over; a kludge line ends the data.
    if (!IsDataLine(line, kind) && !IsKludgeLine(raw) && line != zeroLine && !base.TextEnded())
      readLine();
  }
  if (work.count >= kSectionBufferSize) result |= decode_flag::kTooLarge;
  // A section without a single data line (a cut or edited message) is an error, not an empty
  // piece of the file, unless it is the last one and holds just the end lines.
  if (!sawData && !(number == total && line == zeroLine)) result |= decode_flag::kTextError;
  // The data must end where the encoding says they end. UU and XX: the last section ends
  // with the end line (after the line of the zero character); base64: padding closes the
  // last section, never an earlier one, and every line is whole groups. (A section cut at
  // the buffer's limit was not read to its end, and is damaged already.)
  const bool readToEnd = work.count < kSectionBufferSize;
  if (readToEnd && base64) {
    if (cutLine || (padded && number != total)) result |= decode_flag::kTextError;
  } else if (readToEnd && number == total) {
    if (!endLine && (line == zeroLine || line.empty()) && !base.TextEnded()) {
      const std::string_view before = line;
      readLine();
      line = before.empty() ? std::string_view() : std::string_view(zeroLine);
    }
    if (!endLine) result |= decode_flag::kTextError;
  }
  if (number == total) {
    AddLine(text, line);
    AddLine(text, "end");
  }

  // The "section" line, then the "entire" line of the last section. The search ends where
  // the next section of the message begins, so that its lines are never taken for this one's.
  const int passes = number == total ? 2 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    while (!StartsWith(raw, "sum") && !OpensNextSection(raw) && !base.TextEnded())
      raw = base.NextLineView(kLineLimit);
    if (!StartsWith(raw, "sum")) break;
    ReadSumLine(raw, work.claims);
    if (base.TextEnded()) break;
    raw = base.NextLineView(kLineLimit);
  }
  return result;
}

}  // namespace vm
