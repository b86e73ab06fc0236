// Plain-text sections: the file's lines as they are, between a Russian header and separator
// lines. A section takes the characters that begin within its stretch of the file; a line the
// section boundary cuts, and a line too long for a message line, go on in the next line after
// a character 255, which the decoder joins without a line break.
#include <string>

#include "encode/section_kinds.h"
#include "encode/section_writer.h"
#include "text/cp866.h"
#include "text/encoding_kind.h"

namespace vm {
namespace {

constexpr char kContinued = '\xFF';
// The longest line every base's reader returns whole: the *.MSG reader takes a line of 254
// characters as one that fills its buffer and word-wraps it, which would put line breaks into
// the decoded file. A cut piece keeps room for its continuation mark.
constexpr size_t kLongestLine = 253;
constexpr size_t kLongestPiece = kLongestLine - 1;
constexpr int kTabWidth = 8;

// Collects the section's text lines, each ended with a carriage return.
class TextLines {
 public:
  void Add(char c) {
    if (line_.size() == kLongestLine) Cut();
    line_ += c;
  }
  void EndLine() {
    (text_ += line_) += '\r';
    line_.clear();
  }
  // The text, with a line the section ends in marked as going on.
  std::string Finish() {
    if (!line_.empty()) {
      while (line_.size() > kLongestPiece) Cut();
      ((text_ += line_) += kContinued) += '\r';
    }
    return std::move(text_);
  }

 private:
  void Cut() {
    ((text_ += line_.substr(0, kLongestPiece)) += kContinued) += '\r';
    line_.erase(0, kLongestPiece);
  }

  std::string line_;
  std::string text_;
};

int SequenceLength(int lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  return 2;
}

// The code page 866 byte of the UTF-8 character whose lead byte was just read.
unsigned char Utf8Character(InputFile& input, int lead) {
  char bytes[4] = {static_cast<char>(lead)};
  const int length = SequenceLength(lead);
  for (int i = 1; i < length && input.PeekByte() >= 0; ++i)
    bytes[i] = static_cast<char>(input.ReadByte());
  const std::optional<Cp866Char> c = Utf8CharToCp866({bytes, static_cast<size_t>(length)});
  return c ? c->byte : '?';  // the file changed since it was opened
}

// A section that starts where the one before it ended takes nothing of that one's last
// character; a section posted on its own starts at its nominal offset, which may cut a CR LF
// pair or a UTF-8 sequence: the rest of it belongs to the section before.
void SkipRestOfCharacter(const SectionWork& work) {
  InputFile& input = work.file.input;
  const int64_t offset = input.Position();
  if (offset == 0) return;
  input.Seek(offset - 1);
  const int previous = input.ReadByte();
  if (previous == '\r' && input.PeekByte() == '\n') input.ReadByte();
  if (work.file.utf8ToCp866)
    for (int i = 0; i < 3 && (input.PeekByte() & 0xC0) == 0x80; ++i) input.ReadByte();
}

std::string TextBody(SectionWork& work) {
  InputFile& input = work.file.input;
  const int64_t end = work.number * SectionCapacity(work.entry.flags, work.entry.linesPerSection);
  SkipRestOfCharacter(work);
  TextLines lines;
  while (input.Position() < end) {
    const int c = input.ReadByte();
    if (c < 0) break;
    // CR LF, a lone LF (Linux) and a lone CR each end a line.
    if (c == '\r' || c == '\n') {
      if (c == '\r' && input.PeekByte() == '\n') input.ReadByte();
      lines.EndLine();
      continue;
    }
    if (c == '\t') {
      for (int i = 0; i < kTabWidth; ++i) lines.Add(' ');
      continue;
    }
    unsigned char b = static_cast<unsigned char>(c);
    if (b < 32)
      b = '.';
    else if (b >= 0x80 && work.file.utf8ToCp866)
      b = Utf8Character(input, c);
    lines.Add(static_cast<char>(work.hsubst ? HsubstChar(b) : b));
  }
  return lines.Finish();
}

}  // namespace

void WriteTextSection(SectionWork& work) {
  MessageBase& base = work.base;
  const bool framed = (work.entry.flags & kNoTemplate) == 0;
  if (framed) {
    base.PutLine(Cp866("Секция ") + std::to_string(work.number) + Cp866(" из ") +
                 std::to_string(work.file.total) + Cp866(" файла ") +
                 LowerAscii(work.entry.postedName) + Cp866(" < Послано ") +
                 std::string(kPosterName) + " >");
    base.PutLine(OwnTextSeparator());
  }
  base.PutText(TextBody(work));
  if (framed) base.PutLine(OwnTextSeparator());
}

}  // namespace vm
