// The writers of the four section layouts, behind WriteSection.
#pragma once

#include <cstdint>

#include "encode/section_layout.h"
#include "msgbase/message_base.h"
#include "state/queue_entry.h"
#include "text/alphabets.h"

namespace vm {

struct SectionWork {
  QueueEntry& entry;
  PostedFile& file;
  MessageBase& base;
  EncodingKind kind;
  int32_t number;  // of this section
  bool last;       // number >= total: the end lines go into this one
  bool hsubst;     // the HSUBST setting
};

// Each leaves the input after the last byte its section took.
void WriteUuXxSection(SectionWork& work);
void WriteMimeSection(SectionWork& work);
void WriteTextSection(SectionWork& work);

// Encodes count bytes (read from a buffer that holds zero bytes up to the next multiple of
// three) into out; returns the characters written.
size_t EncodeLineInto(const Alphabet& alphabet, const unsigned char* bytes, size_t count,
                      char* out);

}  // namespace vm
