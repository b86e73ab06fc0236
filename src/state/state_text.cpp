#include "state/state_text.h"

#include <algorithm>
#include <cerrno>

#include "config/config_lines.h"
#include "platform/fatal.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {

std::vector<std::string> SplitStateLines(std::string_view contents) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < contents.size()) {
    size_t end = contents.find('\n', start);
    if (end == std::string_view::npos) end = contents.size();
    std::string_view line = contents.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}

bool IsBlankLine(std::string_view line) {
  size_t pos = 0;
  SkipBlanks(pos, line);
  return pos == line.size();
}

bool OnlyBlankLinesFrom(const std::vector<std::string>& lines, size_t from) {
  for (size_t i = from; i < lines.size(); ++i)
    if (!IsBlankLine(lines[i])) return false;
  return true;
}

std::optional<std::vector<int64_t>> ParseNumberLine(std::string_view line, size_t count,
                                                    int64_t min, int64_t max) {
  std::vector<int64_t> numbers;
  size_t pos = 0;
  while (true) {
    while (pos < line.size() && line[pos] == ' ') ++pos;
    if (pos == line.size()) break;
    size_t end = line.find(' ', pos);
    if (end == std::string_view::npos) end = line.size();
    std::optional<int64_t> value = ParseWholeNumber(line.substr(pos, end - pos));
    if (!value || *value < min || *value > max || numbers.size() == count) return std::nullopt;
    numbers.push_back(*value);
    pos = end;
  }
  if (numbers.size() != count) return std::nullopt;
  return numbers;
}

void AppendStateLine(std::string& out, std::string_view text) {
  const size_t start = out.size();
  out.append(text);
  std::replace_if(
      out.begin() + static_cast<ptrdiff_t>(start), out.end(),
      [](char c) { return c == '\r' || c == '\n'; }, ' ');
  out += "\r\n";
}

void DroppedLines::Drop(size_t lineNumber) { DropRange(lineNumber, lineNumber); }

void DroppedLines::DropRange(size_t firstLine, size_t lastLine) {
  if (!ranges_.empty() && ranges_.back().second + 1 == firstLine) {
    ranges_.back().second = lastLine;
  } else {
    ranges_.emplace_back(firstLine, lastLine);
  }
}

void DroppedLines::WriteTo(const RunLog& log) const {
  for (auto [first, last] : ranges_) {
    if (first == last) {
      log.WriteLog(label_ + Cp866(": строка ") + std::to_string(first) +
                   Cp866(" повреждена и пропущена"));
    } else {
      log.WriteLog(label_ + Cp866(": строки ") + std::to_string(first) + "-" +
                   std::to_string(last) + Cp866(" повреждены и пропущены"));
    }
  }
}

StateFileText ReadStateFile(std::string_view path, const StateFileKind& kind, const RunLog& log) {
  StateFileText text;
  std::string contents;
  int error = 0;
  if (!ReadWholeFile(path, kind.maxSize, contents, error)) {
    if (error == kNotRegularFile || error == EFBIG)
      FatalExit(Cp866("Файл ") + std::string(kind.label) +
                UnreadableFileReason(error, kind.maxSize));
    return text;
  }
  text.lines = SplitStateLines(contents);
  if (text.lines.empty() || text.lines.front() != kind.header) {
    text.lines.clear();
    text.status = StateFileText::Status::WrongHeader;
    RemoveFile(path);
    log.WriteLog(std::string(path) + Cp866(": неизвестная версия, файл удален"));
    return text;
  }
  text.lines.erase(text.lines.begin());
  text.status = StateFileText::Status::Read;
  return text;
}

void WriteStateFile(std::string_view path, std::string_view contents, std::string_view fileLabel) {
  if (!WriteFileAtomically(path, contents))
    FatalExit(Cp866("Не могу записать файл ") + std::string(fileLabel));
}

}  // namespace vm
