// UU, XX and MIME base64 sections, with the "sum -r/size" checks of UU and XX posters.
#include <string>
#include <string_view>

#include "decode/alphabets.h"
#include "decode/data_line.h"
#include "decode/section_decoders.h"
#include "msgbase/message_base.h"
#include "text/checksums.h"
#include "text/text_helpers.h"

namespace vm {

FileDecodeWork::FileDecodeWork() : buffer(kSectionBufferSize + kMaxLineBytes) {}

void FileDecodeWork::StartFile() {
  count = 0;
  fileLength = 0;
  fileSum = 0;
  fileTime = 0;
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

// The checksum and length of a section's encoded text: each line followed by a line feed.
struct TextSum {
  uint32_t length = 0;
  uint16_t sum = 0;
  void AddLine(std::string_view line) {
    for (char c : line) sum = BsdSumAdd(sum, static_cast<unsigned char>(c));
    sum = BsdSumAdd(sum, static_cast<unsigned char>('\n'));
    length += static_cast<uint32_t>(line.size()) + 1;
  }
  // AddLine together with the file checksum over the line's decoded bytes: the two checksums
  // are serial chains of their own, and run side by side in one loop.
  void AddLineAndData(std::string_view line, uint16_t& dataSum, const unsigned char* data,
                      size_t n) {
    const auto* text = reinterpret_cast<const unsigned char*>(line.data());
    const size_t common = n < line.size() ? n : line.size();
    uint16_t a = sum, b = dataSum;
    size_t i = 0;
    // Four steps of each chain per round: the loop's own test and jump would otherwise
    // compete with the chains' rotations for the same execution units.
    for (; i + 4 <= common; i += 4) {
      for (size_t k = i; k < i + 4; ++k) {
        a = BsdSumAdd(a, text[k]);
        b = BsdSumAdd(b, data[k]);
      }
    }
    for (; i < common; ++i) {
      a = BsdSumAdd(a, text[i]);
      b = BsdSumAdd(b, data[i]);
    }
    for (size_t k = i; k < line.size(); ++k) a = BsdSumAdd(a, text[k]);
    for (size_t k = i; k < n; ++k) b = BsdSumAdd(b, data[k]);
    sum = BsdSumAdd(a, static_cast<unsigned char>('\n'));
    dataSum = b;
    length += static_cast<uint32_t>(line.size()) + 1;
  }
};

bool OpensNextSection(std::string_view line) {
  return StartsWith(line, "section ") || StartsWith(line, "begin ");
}

int64_t NumberOr(std::string_view text, int64_t fallback) {
  auto value = ParseWholeNumber(text);
  return value ? *value : fallback;
}

// "sum -r/size 12345/7382 section ..." or "... entire input file": compares the values with
// the section's text or the file's data and returns the flags of the differences.
uint8_t CheckSumLine(std::string_view line, const TextSum& section, const FileDecodeWork& work) {
  size_t pos = 4;  // after "sum "
  if (line.size() < pos || GetWord(pos, line) != "-r/size") return 0;
  SkipBlanks(pos, line);
  const std::string values = GetWord(pos, line);
  SkipBlanks(pos, line);
  const std::string what = GetWord(pos, line);
  const size_t slash = values.find('/');
  const int64_t sum = slash == std::string::npos ? -1 : NumberOr(values.substr(0, slash), -1);
  const int64_t length =
      slash == std::string::npos ? -1 : NumberOr(std::string_view(values).substr(slash + 1), -1);
  uint8_t flags = 0;
  if (what == "section") {
    if (length != section.length)
      flags |= decode_flag::kSectionLength;
    else if (sum != section.sum)
      flags |= decode_flag::kSectionCrc;
  } else if (what == "entire") {
    if (sum != work.fileSum) flags |= decode_flag::kFileCrc;
    if (length != work.fileLength) flags |= decode_flag::kFileLength;
  }
  return flags;
}

}  // namespace

uint8_t DecodeEncodedSection(MessageBase& base, FileDecodeWork& work, EncodingKind kind,
                             int32_t total, int32_t number) {
  const char zero = AlphabetFor(kind).Zero();
  const std::string zeroLine(1, zero);
  TextSum section;
  work.count = 0;
  uint8_t result = 0;
  // The line just read (valid until the next read), and the same as the data tests see it
  // (in raw or in scratch).
  std::string_view raw;
  std::string scratch;
  std::string_view line;
  auto readLine = [&] {
    raw = base.NextLineView(kLineLimit);
    line = DataView(raw, zero, scratch);
  };

  // Up to the first data line: skip "table" lines, take the file time, count "begin".
  for (;;) {
    raw = base.NextLineView(kLineLimit);
    if (raw.find("table") != std::string_view::npos) {
      // The two lines of the table are skipped; the alphabets are fixed.
      for (int i = 0; i < 3; ++i) raw = base.NextLineView(kLineLimit);
    }
    size_t at = raw.find("filetime ");
    if (at != std::string_view::npos) {
      auto value = ParseWholeNumber(Trim(raw.substr(at + 9)));
      if (value) work.fileTime = static_cast<int32_t>(static_cast<uint32_t>(*value));
    }
    if (raw.find("begin ") != std::string_view::npos) section.AddLine(raw);
    line = DataView(raw, zero, scratch);
    if (IsDataLine(line, kind) || base.TextEnded()) break;
    // The end-of-data line of UU and XX: a last section that holds only the end lines (as
    // "split" leaves it) has no data at all.
    if (kind != EncodingKind::MimeBase64 && line == zeroLine) break;
  }

  unsigned char* buffer = work.buffer.data();
  const bool sawData = IsDataLine(line, kind);
  while (work.count < kSectionBufferSize && IsDataLine(line, kind)) {
    size_t n = DecodeLine(line, kind, buffer + work.count);
    if (n > kSectionBufferSize - work.count) n = kSectionBufferSize - work.count;
    section.AddLineAndData(line, work.fileSum, buffer + work.count, n);
    work.count += n;
    if (base.TextEnded()) {
      raw = line = {};
      break;
    }
    readLine();
    // One stray line inside the data is passed over.
    if (!IsDataLine(line, kind) && line != zeroLine && !base.TextEnded()) readLine();
  }
  if (work.count >= kSectionBufferSize) result |= decode_flag::kTooLarge;
  // A section without a single data line (a cut or edited message) is an error, not an empty
  // piece of the file, unless it is the last one and holds just the end lines.
  if (!sawData && !(number == total && line == zeroLine)) result |= decode_flag::kTextError;
  work.fileLength += static_cast<uint32_t>(work.count);

  if (number == total) {
    section.AddLine(line);
    section.AddLine("end");
  }

  // The "section" line, then the "entire" line of the last section. The search ends where
  // the next section of the message begins, so that its lines are never taken for this one's.
  const int passes = number == total ? 2 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    while (!StartsWith(raw, "sum") && !OpensNextSection(raw) && !base.TextEnded())
      raw = base.NextLineView(kLineLimit);
    if (!StartsWith(raw, "sum")) break;
    result |= CheckSumLine(raw, section, work);
    if (base.TextEnded()) break;
    raw = base.NextLineView(kLineLimit);
  }
  return result;
}

}  // namespace vm
