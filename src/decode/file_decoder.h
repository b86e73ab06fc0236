// File assembly: reads a found file's sections back out of the message base in section
// order, decodes each with the decoder of the file's encoding, checks what the poster put into
// the text, and writes the bytes into one output file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "decode/decode_session.h"
#include "decode/found_file.h"
#include "decode/section_decoders.h"

namespace vm {

class MessageBase;

struct FileDecodeOutcome {
  uint8_t result = 0;      // decode_flag bits; 0 is success
  std::string outputName;  // the name written in the directory (unattended: the temporary name)
  // The messages all of whose sections decoded cleanly, ascending: the ones DELETEDECODED
  // deletes once the file is safely in place.
  std::vector<int32_t> cleanMessages;
};

// Decodes `file` from the open base into `directory`: in the shell under the file's (made
// safe) name, asking before an existing file is overwritten; unattended under a random
// temporary name that the caller renames. Never writes outside the directory and never
// deletes a message. With DELETEDECODED the unattended output is flushed to the disk before
// it is closed, since its messages are about to go.
FileDecodeOutcome DecodeFoundFile(DecodeSession& session, MessageBase& base, FileDecodeWork& work,
                                  const FoundFile& file, std::string_view directory);

// Deletes the messages (DELETEDECODED): each one only when it is still the message of that
// number.
void DeleteDecodedMessages(MessageBase& base, const std::vector<int32_t>& messages);

}  // namespace vm
