#include "config/config_lines.h"

#include <algorithm>

#include "platform/file.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {

bool ReadConfigLines(std::string_view path, std::vector<std::string>& lines, int& error) {
  lines.clear();
  error = 0;
  File file;
  if (!file.Open(path, OpenMode::Read)) {
    error = file.LastError();
    return false;
  }
  std::string contents;
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
  std::replace(contents.begin(), contents.end(), '\t', ' ');

  size_t start = 0;
  while (start < contents.size()) {
    size_t end = contents.find('\n', start);
    size_t next = end == std::string::npos ? contents.size() : end + 1;
    if (end == std::string::npos) end = contents.size();
    if (end > start && contents[end - 1] == '\r') --end;
    lines.emplace_back(contents, start, std::min(end - start, kMaxText));
    start = next;
  }
  return true;
}

std::string NextUpperWord(size_t& pos, std::string_view line) {
  SkipBlanks(pos, line);
  return UpCaseCp866(GetWord(pos, line));
}

}  // namespace vm
