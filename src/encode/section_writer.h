// The body of one section in a message: the lines of the UU, XX, MIME base64 or plain-text
// layout, written with PutLine/PutText into the message being composed.
#pragma once

#include <cstddef>
#include <string>

#include "encode/section_layout.h"
#include "msgbase/message_base.h"
#include "state/queue_entry.h"
#include "text/alphabets.h"

namespace vm {

// One encoded line of up to 45 (UU, XX) or 57 (base64) bytes: the length character
// alphabet[count], then four characters for every group of three bytes (the last group
// filled with zero bytes).
std::string EncodeLine(const Alphabet& alphabet, const unsigned char* bytes, size_t count);

// The HSUBST substitution of three Cyrillic letters by the Latin letters that look alike
// (0x8D "Н" by "H", 0xE3 "у" by "y", 0xE0 "р" by "p"): some mail software takes 0x8D for a
// soft line break and drops it.
unsigned char HsubstChar(unsigned char c);
std::string Hsubst(std::string_view text);

// Writes the body of the section that starts at the entry's offset, then moves the entry's
// offset past the bytes it took and carries its file sum on. Returns true when the file needs
// no further section: this was its last one, or the entry posts a single section.
bool WriteSection(QueueEntry& entry, PostedFile& file, MessageBase& base, bool hsubst);

}  // namespace vm
