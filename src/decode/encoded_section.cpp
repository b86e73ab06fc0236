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

// Reads one UU, XX or base64 section from the message's current line: the lines before the
// data, the data into the work buffer, the end of the data, and the sum lines after it.
class EncodedSectionReader {
 public:
  EncodedSectionReader(MessageBase& base, FileDecodeWork& work, EncodingKind kind)
      : base_(base),
        work_(work),
        kind_(kind),
        zero_(AlphabetFor(kind).Zero()),
        zeroLine_(1, zero_),
        text_(work.sectionText) {}

  // Up to the first data line: skip "table" lines, take the file time, count "begin". A
  // kludge line on the way means the section has no data.
  void SkipToData() {
    for (;;) {
      raw_ = base_.NextLineView(kLineLimit);
      if (IsKludgeLine(raw_)) {
        line_ = {};
        return;
      }
      if (raw_.find("table") != std::string_view::npos) {
        // The two lines of the table are skipped; the alphabets are fixed.
        for (int i = 0; i < 3; ++i) raw_ = base_.NextLineView(kLineLimit);
      }
      size_t at = raw_.find("filetime ");
      if (at != std::string_view::npos) {
        auto value = ParseWholeNumber(Trim(raw_.substr(at + 9)));
        if (value) work_.fileTime = static_cast<int32_t>(static_cast<uint32_t>(*value));
      }
      if (raw_.find("begin ") != std::string_view::npos) AddLine(text_, raw_);
      line_ = IsTearLine(raw_) ? std::string_view() : DataView(raw_, zero_, scratch_);
      if (IsDataLine(line_, kind_) || base_.TextEnded()) return;
      // The end-of-data line of UU and XX: a last section that holds only the end lines (as
      // "split" leaves it) has no data at all.
      if (kind_ != EncodingKind::MimeBase64 && line_ == zeroLine_) return;
    }
  }

  bool AtData() const { return IsDataLine(line_, kind_); }

  // Decodes the data lines into the work buffer, up to its size.
  void ReadData() {
    unsigned char* buffer = work_.buffer.data();
    const bool base64 = kind_ == EncodingKind::MimeBase64;
    while (work_.count < kSectionBufferSize && IsDataLine(line_, kind_)) {
      if (base64) {
        padded_ = padded_ || line_.back() == '=';
        cutLine_ = cutLine_ || line_.size() % 4 != 0;
      }
      size_t n = DecodeLine(line_, kind_, buffer + work_.count);
      if (n > kSectionBufferSize - work_.count) n = kSectionBufferSize - work_.count;
      AddLine(text_, line_);
      work_.count += n;
      if (base_.TextEnded()) {
        raw_ = line_ = {};
        return;
      }
      ReadLine();
      // One stray line inside the data is passed over; a kludge line ends the data.
      if (!IsDataLine(line_, kind_) && !IsKludgeLine(raw_) && line_ != zeroLine_ &&
          !base_.TextEnded())
        ReadLine();
    }
  }

  // Whether the data end where the encoding says they end. UU and XX: the last section ends
  // with the end line (after the line of the zero character); base64: padding closes the
  // last section, never an earlier one, and every line is whole groups. (A section cut at
  // the buffer's limit was not read to its end, and is damaged already.) The last section's
  // text gets its end lines.
  bool EndsSoundly(bool last) {
    bool sound = true;
    const bool readToEnd = work_.count < kSectionBufferSize;
    if (readToEnd && kind_ == EncodingKind::MimeBase64) {
      sound = !cutLine_ && !(padded_ && !last);
    } else if (readToEnd && last) {
      if (!endLine_ && (line_ == zeroLine_ || line_.empty()) && !base_.TextEnded()) {
        const std::string_view before = line_;
        ReadLine();
        line_ = before.empty() ? std::string_view() : std::string_view(zeroLine_);
      }
      sound = endLine_;
    }
    if (last) {
      AddLine(text_, line_);
      AddLine(text_, "end");
    }
    return sound;
  }

  // Whether the section stopped at the end lines alone (the last section as "split" leaves it).
  bool AtZeroLine() const { return line_ == zeroLine_; }

  // The "section" line, then the "entire" line of the last section. The search ends where
  // the next section of the message begins, so that its lines are never taken for this one's.
  void ReadSumLines(bool last) {
    const int passes = last ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass) {
      while (!StartsWith(raw_, "sum") && !OpensNextSection(raw_) && !base_.TextEnded())
        raw_ = base_.NextLineView(kLineLimit);
      if (!StartsWith(raw_, "sum")) return;
      ReadSumLine(raw_, work_.claims);
      if (base_.TextEnded()) return;
      raw_ = base_.NextLineView(kLineLimit);
    }
  }

 private:
  void ReadLine() {
    raw_ = base_.NextLineView(kLineLimit);
    line_ = IsKludgeLine(raw_) || IsTearLine(raw_) ? std::string_view()
                                                   : DataView(raw_, zero_, scratch_);
    if (TrimView(raw_) == "end") endLine_ = true;
  }

  MessageBase& base_;
  FileDecodeWork& work_;
  const EncodingKind kind_;
  const char zero_;
  const std::string zeroLine_;
  std::string& text_;
  // The line just read (valid until the next read), and the same as the data tests see it
  // (in raw_ or in scratch_; empty for a kludge line, which is never data).
  std::string_view raw_;
  std::string scratch_;
  std::string_view line_;
  bool endLine_ = false;  // the "end" line of UU and XX was met after the data
  bool padded_ = false;   // a base64 line ended in "=": the file's data end there
  bool cutLine_ = false;  // a base64 line that is no whole number of groups
};

}  // namespace

uint8_t DecodeEncodedSection(MessageBase& base, FileDecodeWork& work, EncodingKind kind,
                             int32_t total, int32_t number) {
  work.sectionText.clear();
  work.claims.clear();
  work.count = 0;
  const bool last = number == total;
  EncodedSectionReader reader(base, work, kind);
  reader.SkipToData();
  const bool sawData = reader.AtData();
  reader.ReadData();
  uint8_t result = 0;
  if (work.count >= kSectionBufferSize) result |= decode_flag::kTooLarge;
  // A section without a single data line (a cut or edited message) is an error, not an empty
  // piece of the file, unless it is the last one and holds just the end lines.
  if (!sawData && !(last && reader.AtZeroLine())) result |= decode_flag::kTextError;
  if (!reader.EndsSoundly(last)) result |= decode_flag::kTextError;
  reader.ReadSumLines(last);
  return result;
}

}  // namespace vm
