// Text configuration files (VELDMARK.CTL, AREADEFS.CTL and the echo processors' files) read as
// lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vm {

// Reads the file at a program path as lines. A line ends at LF (a CR before it is dropped); a
// Ctrl-Z ends the file, as in DOS text files; each line is cut to 255 characters; tabs become
// blanks, so that words separated by tabs are separate words. On failure returns false and sets
// error to the system's error code.
bool ReadConfigLines(std::string_view path, std::vector<std::string>& lines, int& error);

// Skips blanks from pos, then takes the next word (GetWord) upper-cased in CP866.
std::string NextUpperWord(size_t& pos, std::string_view line);

}  // namespace vm
