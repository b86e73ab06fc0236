#include "tui/static_text.h"

namespace vm::tui {

StaticText::StaticText(const Rect& area, std::vector<std::string> lines)
    : lines_(std::move(lines)) {
  local = area;
}

void StaticText::Draw(CellBuffer& out, const Palette& palette, Point origin, bool) {
  for (int i = 0; i < static_cast<int>(lines_.size()) && i < local.height; ++i) {
    std::string line = lines_[static_cast<size_t>(i)];
    if (static_cast<int>(line.size()) > local.width) line.resize(static_cast<size_t>(local.width));
    out.PutText(origin.x + local.x, origin.y + local.y + i, line, palette[Colours().text]);
  }
}

std::vector<std::string> WrapText(std::string_view text, int width) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    std::string_view paragraph =
        text.substr(start, end == std::string_view::npos ? text.npos : end - start);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
    std::string line;
    size_t at = 0;
    while (at < paragraph.size()) {
      const size_t blank = paragraph.find(' ', at);
      std::string_view word =
          paragraph.substr(at, blank == paragraph.npos ? paragraph.npos : blank - at);
      at = blank == paragraph.npos ? paragraph.size() : blank + 1;
      while (static_cast<int>(word.size()) > width) {
        if (!line.empty()) lines.push_back(std::move(line)), line.clear();
        lines.emplace_back(word.substr(0, static_cast<size_t>(width)));
        word.remove_prefix(static_cast<size_t>(width));
      }
      if (!line.empty() && static_cast<int>(line.size() + 1 + word.size()) > width)
        lines.push_back(std::move(line)), line.clear();
      if (!line.empty()) line += ' ';
      line += word;
    }
    lines.push_back(std::move(line));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

}  // namespace vm::tui
