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

// The largest configuration text read (settings, area definitions, the echo processors'
// lists): far above the areas that the area table can hold, with comments.
inline constexpr size_t kMaxConfigText = size_t{16} << 20;

// Reads the file at a program path. On failure returns false and sets error to the system's
// error code (ReadWholeFile: EFBIG beyond kMaxConfigText, kNotRegularFile for a FIFO or a
// device).
bool ReadConfigText(std::string_view path, ConfigText& text, int& error);

// Why a file could not be read, as the end of a message that begins "Файл " + name:
// " не является обычным файлом", " слишком большой (больше N Мбайт)" for a file beyond
// maxSize (EFBIG), else " не найден".
std::string UnreadableFileReason(int error, size_t maxSize);

// Skips blanks from pos, then takes the next word (GetWord) as written.
std::string NextWord(size_t& pos, std::string_view line);
// The same, upper-cased in CP866.
std::string NextUpperWord(size_t& pos, std::string_view line);

}  // namespace vm
