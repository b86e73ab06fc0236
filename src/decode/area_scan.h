// The area scan: walks the messages of an open area, hands every text line to the section
// recogniser and gathers the recognised sections into the found-file catalogue. Unattended
// runs resume where the previous run stopped (ResumeMessage/ResumeCheck of the area).
#pragma once

#include <cstdint>
#include <string>

#include "decode/decode_session.h"
#include "decode/found_file.h"

namespace vm {

class MessageBase;
struct AreaEntry;

struct ScanOptions {
  // 1 or below: a fresh scan from the start (the catalogue is cleared); a larger number
  // continues from that message with the catalogue kept.
  int32_t startMessage = 1;
  bool scanAll = false;  // -ScanAll: unattended runs ignore the resume point
  std::string scanLine;  // unattended: the area's console line that the progress repeats
};

void ScanArea(DecodeSession& session, MessageBase& base, AreaEntry& area,
              FoundFileCatalogue& catalogue, const ScanOptions& options);

// StrCrc32 of the current message's from name, to name, subject, date and time texts, the
// concatenation cut to 255 characters. Needs LoadHeader.
int32_t MessageCrc(MessageBase& base);

}  // namespace vm
