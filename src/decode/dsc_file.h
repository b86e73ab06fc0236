// The .dsc file written beside a decoded file when HEADERS is yes: the header of the message
// that carried the file's first section, then that message's text up to the section.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "decode/decode_session.h"
#include "decode/found_file.h"

namespace vm {

class MessageBase;

// The .dsc text (CR LF lines) for the file saved as `fileName`; nothing when no message of
// the file can be read any more.
std::optional<std::string> DscText(DecodeSession& session, MessageBase& base, const FoundFile& file,
                                   std::string_view fileName);

// `directory` + the file name's part before its extension + ".dsc"; empty for a file that is
// itself named so, which its description must not overwrite.
std::string DscPathFor(std::string_view directory, std::string_view fileName);

// Whether the file at the path is a description that WriteDscFile wrote: a .dsc file whose
// text starts the way a description does.
bool IsDescriptionFile(std::string_view path);

// Writes the description (replacing the file whole). False, and nothing written, when a file
// other than an earlier description has that name (a decoded file named so) or the file
// cannot be written.
bool WriteDscFile(std::string_view path, std::string_view text);

}  // namespace vm
