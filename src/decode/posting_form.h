// Which convention of which kind of poster a section was recognised by. The information
// window names the conventions of other posting programs after the encoding.
#pragma once

#include <cstdint>
#include <string>

namespace vm {

enum class PostingForm : uint8_t {
  Standard,         // the section headers, "begin" lines and MIME blocks of every poster
  UuenviewPart,     // uuenview's "Part N of M of file NAME" lines
  SubjectNumbered,  // "NAME (i/n)" and the like in the subject; the body has no header
  MimePartialOnce,  // message/partial whose inner headers come with part 1 only (mpack)
};

// " (uuenview)" and the like, to follow the encoding's label; empty for Standard.
std::string PostingFormSuffix(PostingForm form);

}  // namespace vm
