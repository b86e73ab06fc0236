// Text configuration files (AREADEFS.CTL and the echo processors' files) read as lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vm {

// A file's text held whole, with its lines as views into it (so it is neither copied nor
// moved). A line ends at LF (a CR before it is dropped); a Ctrl-Z ends the file, as in DOS
// text files; each line is cut to 255 characters; tabs are blanks, so that words separated by
// tabs are separate words.
struct ConfigText {
  ConfigText() = default;
  ConfigText(const ConfigText&) = delete;
  ConfigText& operator=(const ConfigText&) = delete;

  std::string contents;
  std::vector<std::string_view> lines;
};

// Reads the file at a program path. On failure returns false and sets error to the system's
// error code.
bool ReadConfigText(std::string_view path, ConfigText& text, int& error);

// Skips blanks from pos, then takes the next word (GetWord) upper-cased in CP866.
std::string NextUpperWord(size_t& pos, std::string_view line);

}  // namespace vm
