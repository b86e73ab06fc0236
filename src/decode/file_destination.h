// Where unattended decoding puts a file: ROOT, the area's own subdirectory of ROOT in the
// ADVANCED receive mode, or the directory of a file route whose mask matches the file name.
#pragma once

#include <string>
#include <string_view>

namespace vm {

struct AreaEntry;

// The directory of the first file route of the area whose mask matches the name; empty when
// none matches.
std::string DecodeDirFor(const AreaEntry& area, std::string_view fileName);

// The area's subdirectory name under ROOT: with long names the tag itself (made a plain
// name), otherwise the tag without blanks and dots, a dot put after the eighth character
// when it is longer, cut to 12 characters: RU.UUENCODE gives RUUUENCO.DE.
std::string AreaDirectoryName(std::string_view tag, bool longFileNames);

// A relative program path (no drive, not from the root) taken from `base`; others unchanged.
std::string AbsoluteFrom(std::string_view path, std::string_view base);

}  // namespace vm
