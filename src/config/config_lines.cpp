#include "config/config_lines.h"

#include <algorithm>

#include "config/case_fold.h"
#include "platform/file.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {

bool ReadConfigText(std::string_view path, ConfigText& text, int& error) {
  text.lines.clear();
  std::string& contents = text.contents;
  if (!ReadWholeFile(path, kMaxConfigText, contents, error)) return false;
  if (size_t eof = contents.find('\x1A'); eof != std::string::npos) contents.resize(eof);
  for (size_t tab = contents.find('\t'); tab != std::string::npos; tab = contents.find('\t', tab))
    contents[tab] = ' ';

  std::string_view rest = contents;
  while (!rest.empty()) {
    size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    text.lines.push_back(line.substr(0, kMaxText));
  }
  return true;
}

std::string UnreadableFileReason(int error, size_t maxSize) {
  if (error == kNotRegularFile) return Cp866(" не является обычным файлом");
  if (error == EFBIG)
    return Cp866(" слишком большой (больше ") + std::to_string(maxSize >> 20) + Cp866(" Мбайт)");
  return Cp866(" не найден");
}

std::string NextWord(size_t& pos, std::string_view line) {
  SkipBlanks(pos, line);
  return GetWord(pos, line);
}

std::string NextUpperWord(size_t& pos, std::string_view line) {
  std::string word = NextWord(pos, line);
  UpCaseInPlace(word);
  return word;
}

}  // namespace vm
