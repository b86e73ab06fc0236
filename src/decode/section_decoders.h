// The section decoders: each works on the current message positioned at a section's text
// position and fills the section buffer with the section's bytes, reading the checksum and
// length lines that UU and XX posters add.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "decode/sum_checks.h"
#include "text/encoding_kind.h"

namespace vm {

class MessageBase;

// Flags of a decode result; 0 is success.
namespace decode_flag {
inline constexpr uint8_t kNotDecoded = 0x01;     // abort, refusal, file not created
inline constexpr uint8_t kTooLarge = 0x02;       // a section filled the section buffer
inline constexpr uint8_t kSectionCrc = 0x04;     // a section's text checksum differs
inline constexpr uint8_t kFileCrc = 0x08;        // the decoded data's checksum differs
inline constexpr uint8_t kSectionLength = 0x10;  // a section's text length differs
inline constexpr uint8_t kFileLength = 0x20;     // the decoded length differs
inline constexpr uint8_t kMissing = 0x40;        // a section was missing
inline constexpr uint8_t kTextError = 0x80;      // a text or crack section was not closed
}  // namespace decode_flag

// Bytes one section may produce; a section reaching it is cut there with kTooLarge.
inline constexpr size_t kSectionBufferSize = 65428;

// The working state of one file decode.
struct FileDecodeWork {
  FileDecodeWork();
  void StartFile();

  std::vector<unsigned char> buffer;  // the section's bytes, with room for one line beyond
  size_t count = 0;                   // bytes of the current section
  int32_t fileTime = 0;               // packed DOS date and time; 0 when not announced
  // UU, XX and base64: the section's text as its checksum reads it, and what its sum lines
  // say; FileDecodeWork::checks compares the two.
  std::string sectionText;
  std::vector<SumClaim> claims;
  SectionSumChecks checks;
};

// A kludge line (first byte 0x01) is never part of a section: it ends the section's data.
// Trailing kludges (PATH, Via, or MSGID and PID that a poster puts last) would otherwise pass
// for data once their control character was dropped.
inline bool IsKludgeLine(std::string_view line) { return !line.empty() && line[0] == '\x01'; }

// The tear line ("---", alone or followed by a blank and a program's name) is never data,
// though "--- x" read with its blank as XX's zero character would pass for an XX line of one
// byte after the data of a posting without sum lines.
inline bool IsTearLine(std::string_view line) {
  return line.substr(0, 3) == "---" && (line.size() == 3 || line[3] == ' ');
}

// UU, XX and MIME base64 (kind): fills sectionText and claims for the checks. total and
// number decide whether the last section's end lines count in its checksum.
uint8_t DecodeEncodedSection(MessageBase& base, FileDecodeWork& work, EncodingKind kind,
                             int32_t total, int32_t number);
// The program's own text sections, between two separator lines.
uint8_t DecodeOwnTextSection(MessageBase& base, FileDecodeWork& work);
// FastPost text sections, between "TEXTBEGIN." and "TEXTEND." lines.
uint8_t DecodeFastPostTextSection(MessageBase& base, FileDecodeWork& work);
// A crack block, taken whole from its opening line to its closing line.
uint8_t DecodeCrackBlock(MessageBase& base, FileDecodeWork& work);

}  // namespace vm
