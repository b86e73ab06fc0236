// Plain-text sections (the program's own and FastPost's) and crack blocks: lines copied into
// the section buffer with CR LF line ends.
#include <cstring>
#include <string>

#include "decode/section_decoders.h"
#include "msgbase/message_base.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr uint16_t kLineLimit = 255;

// Appends bytes to the section buffer; false (and nothing beyond the limit) once it is full.
bool Append(FileDecodeWork& work, std::string_view bytes) {
  const size_t room = kSectionBufferSize - work.count;
  const size_t n = bytes.size() < room ? bytes.size() : room;
  std::memcpy(work.buffer.data() + work.count, bytes.data(), n);
  work.count += n;
  return n == bytes.size();
}

bool AppendLine(FileDecodeWork& work, std::string_view line) {
  return Append(work, line) && Append(work, "\r\n");
}

// The bytes of the section are complete.
uint8_t Finish(FileDecodeWork& work, uint8_t result) {
  if (work.count >= kSectionBufferSize) result |= decode_flag::kTooLarge;
  return result;
}

// NextLineView that tells whether a line of the section was read: false once the text has
// ended and nothing more came (the empty "line" after the last line end), and at a kludge line.
// The line is valid until the next read.
bool ReadLine(MessageBase& base, std::string_view& line) {
  if (base.TextEnded()) return false;
  line = base.NextLineView(kLineLimit);
  return !(base.TextEnded() && line.empty()) && !IsKludgeLine(line);
}

}  // namespace

uint8_t DecodeOwnTextSection(MessageBase& base, FileDecodeWork& work) {
  work.count = 0;
  std::string_view line;
  do {
    if (!ReadLine(base, line)) return Finish(work, decode_flag::kTextError);
  } while (line != OwnTextSeparator());
  while (ReadLine(base, line)) {
    if (line == OwnTextSeparator()) return Finish(work, 0);
    // A line cut by the section boundary ends in character 255 and goes on in the next line.
    const bool continued = !line.empty() && static_cast<unsigned char>(line.back()) == 255;
    const bool fits =
        continued ? Append(work, line.substr(0, line.size() - 1)) : AppendLine(work, line);
    if (!fits) return Finish(work, 0);
  }
  return Finish(work, decode_flag::kTextError);
}

uint8_t DecodeFastPostTextSection(MessageBase& base, FileDecodeWork& work) {
  work.count = 0;
  std::string_view line;
  do {
    if (!ReadLine(base, line)) return Finish(work, decode_flag::kTextError);
  } while (RemoveBlanks(UpCaseCp866(line)).rfind("TEXTBEGIN.", 0) != 0);
  while (ReadLine(base, line)) {
    if (UpCaseCp866(CutTo(line, 8)) == "TEXTEND.") return Finish(work, 0);
    if (!AppendLine(work, line)) return Finish(work, 0);
  }
  return Finish(work, decode_flag::kTextError);
}

uint8_t DecodeCrackBlock(MessageBase& base, FileDecodeWork& work) {
  work.count = 0;
  std::string_view line;
  if (!ReadLine(base, line)) return Finish(work, decode_flag::kTextError);
  // "[BEGINCRK]" is closed by "[ENDCRK", "[BEGINCRX..." by "[ENDCRX", and so on.
  const std::string up = UpCaseCp866(line);
  const size_t begin = up.find("[BEGIN");
  const std::string marker =
      "[END" + (begin == std::string::npos ? std::string() : up.substr(begin + 6, 3));
  for (;;) {
    if (!AppendLine(work, line)) return Finish(work, 0);
    if (!ReadLine(base, line)) return Finish(work, decode_flag::kTextError);
    if (UpCaseCp866(line).find(marker) != std::string::npos) {
      AppendLine(work, line);
      return Finish(work, 0);
    }
  }
}

}  // namespace vm
