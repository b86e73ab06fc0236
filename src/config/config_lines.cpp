#include "config/config_lines.h"

#include <algorithm>

#include "config/case_fold.h"
#include "platform/file.h"
#include "text/text_helpers.h"

namespace vm {

bool ReadConfigText(std::string_view path, ConfigText& text, int& error) {
  text.contents.clear();
  text.lines.clear();
  error = 0;
  File file;
  if (!file.Open(path, OpenMode::Read)) {
    error = file.LastError();
    return false;
  }
  std::string& contents = text.contents;
  char buffer[65536];
  for (;;) {
    size_t n = file.Read(buffer, sizeof buffer);
    contents.append(buffer, n);
    if (n < sizeof buffer) break;
  }
  if (file.LastError() != 0) {
    error = file.LastError();
    return false;
  }
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

std::string NextUpperWord(size_t& pos, std::string_view line) {
  SkipBlanks(pos, line);
  std::string word = GetWord(pos, line);
  UpCaseInPlace(word);
  return word;
}

}  // namespace vm
