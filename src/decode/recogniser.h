// The section header recogniser: given one line of message text, tells whether it opens a
// section of an encoded file and, if so, which file (key and name), which section, and where
// in the message text the section's data begins. It reads further lines of the current
// message itself when a header spans several lines (MIME headers, crack blocks) and to tell UU
// data from XX data.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "decode/decode_run_state.h"
#include "decode/posting_form.h"
#include "decode/subject_numbering.h"
#include "text/encoding_kind.h"

namespace vm {

class MessageBase;

inline constexpr size_t kKeyWidth = 64;

struct SectionHeader {
  EncodingKind kind = EncodingKind::None;
  std::string key;       // identity of the file: prefix, total, name, CRC of the two names
  std::string fileName;  // as announced, upper case
  int32_t number = 0;    // 1-based section number
  int32_t total = 0;     // 0 when not announced
  int32_t textPos = 0;   // TextPosition where decoding of this section starts
  PostingForm form = PostingForm::Standard;
  bool nameFromSubject = false;  // a weak name: the one of a "begin" line wins over it
  std::string contentMd5;        // the 16 bytes a Content-MD5 header gives; empty when none
  int64_t statedSize = -1;       // the bytes a MIME size= parameter gives; -1 when none
  bool IsHeader() const { return kind != EncodingKind::None; }
};

struct RecogniserSettings {
  int32_t headerLines = 2147483647;  // HEADERLINES
  bool extractXck = false;           // EXTRACTXCK
  bool windowedShell = false;        // crack blocks always count in the shell
  bool longFileNames = false;        // LONGFILENAMES: else names from "begin" lines go 8.3
};

class SectionRecogniser {
 public:
  SectionRecogniser(MessageBase& base, DecodeRunState& state, RecogniserSettings settings)
      : base_(base), state_(state), settings_(settings) {}

  // line: a text line of the current message that is neither a kludge nor an origin line;
  // textPos: the TextPosition of its start. When the line opens no section the result has
  // kind None and the message's reading point is back right after the line.
  SectionHeader RecogniseSectionHeader(std::string_view line, int32_t textPos);

  // A new message with this subject: its numbering ("NAME (i/n)" ...) applies to a "begin"
  // line in it and to RecogniseNumberedBody.
  void StartMessage(std::string_view subject);

  // For a message in which no header was found: when its subject numbers it, the first run
  // of UU, XX or base64 data in its text is section i of n of the subject's file. Reads the
  // text from its start; kind None when there is no such data.
  SectionHeader RecogniseNumberedBody();

  // After a SECTION or BEGIN header: reads ahead to the first data line and tells UU from XX
  // (None when the text or the HEADERLINES budget ends first). Sets CurrentDataKind.
  EncodingKind DetectUuOrXx() { return DetectDataKind(false); }

 private:
  bool Classify(std::string_view line, SectionHeader& header);
  // "<keyword> n <of> m ... <of file> name": number, total and the name's position.
  bool ReadNumberedForm(std::string_view up, size_t& pos, std::string_view ofWord,
                        std::string_view ofFile, SectionHeader& header);
  bool ReadBeginLine(std::string_view up, size_t& pos, SectionHeader& header);
  // The look-ahead of DetectUuOrXx; with allowBase64, a base64 line decides as well.
  EncodingKind DetectDataKind(bool allowBase64);
  bool ReadUuenviewPart(std::string_view up, size_t& pos, SectionHeader& header);
  // A "begin" line in a message whose subject numbers it as part 1 of n: the key and total
  // of the numbered parts, when the subject names the begin line's file.
  void AdoptSubjectNumbering(SectionHeader& header, std::string_view beginName);
  std::string SubjectKeyName() const;
  bool ReadMimeBlock(std::string_view line, SectionHeader& header);
  bool ReadPartialParameters(std::string& up, SectionHeader& header);
  bool FindNameParameter(std::string& up, SectionHeader& header);
  bool ReadCrackBlock(std::string_view up, SectionHeader& header);
  std::string CrackNameFromNextLine(std::string& key);
  bool FindClosingLine(std::string_view marker);
  std::string NextUpperLine(uint16_t limit);

  MessageBase& base_;
  DecodeRunState& state_;
  RecogniserSettings settings_;
  std::optional<SubjectNumbering> subjectNumbering_;
};

}  // namespace vm
