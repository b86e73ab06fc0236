// How a queued file is cut into sections: the encoding an entry asks for, the input bytes of
// one section, the number of sections and the number of the section an entry posts next; and
// what the poster learns of a file when it opens it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "encode/input_file.h"
#include "state/queue_entry.h"
#include "text/dos_time.h"
#include "text/encoding_kind.h"

namespace vm {

// The product named in section headers, macros and the PID kludge.
inline constexpr std::string_view kPosterName = "Veldmark v1.61.40";

// XX before MIME before UU; none of the three: plain text.
EncodingKind SectionKind(EncodeFlags flags);
// Input bytes per encoded line: UU and XX 45, MIME 57; plain text 60 (a budget per line).
int32_t BytesPerLine(EncodingKind kind);
// Input bytes of one section.
int64_t SectionCapacity(EncodeFlags flags, int32_t linesPerSection);
// Sections of a file of `size` bytes; 0 for an empty file.
int32_t TotalSections(int64_t size, int64_t capacity);
// The number of the section that starts at the entry's offset.
int32_t SectionNumber(const QueueEntry& entry);

// "a"-"z" for "A"-"Z" only: the names in section headers and "begin" lines.
std::string LowerAscii(std::string_view text);

// The file an entry posts, opened by the poster for its first section of the run.
struct PostedFile {
  InputFile input;
  std::string nameInPath;  // name and extension as they stand in the queued path
  int64_t size = 0;
  int32_t total = 0;
  DateTime modified;
  // A plain-text posting of a UTF-8 file whose every character exists in code page 866 is
  // posted in code page 866, the echoes' character set.
  bool utf8ToCp866 = false;
};

// Opens the entry's file and learns its size, time, total and (for plain text) its character
// set. False when the file cannot be opened.
bool OpenPostedFile(const QueueEntry& entry, PostedFile& file);

}  // namespace vm
