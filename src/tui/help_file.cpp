#include "tui/help_file.h"

#include <charconv>

#include "platform/file.h"

namespace vm::tui {
namespace {

constexpr size_t kTabWidth = 8;
constexpr size_t kLargestHelpFile = 1 << 20;
constexpr std::string_view kTopicWord = ".topic";

bool ParseNumber(std::string_view text, int& number) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc() && end == text.data() + text.size() && number >= 0;
}

struct Parser {
  HelpFile help;
  HelpTopic* topic = nullptr;  // nullptr before the first topic and inside a duplicate one
  int lineNumber = 0;

  void Problem(const std::string& what) {
    help.problems.push_back("line " + std::to_string(lineNumber) + ": " + what);
  }

  // ".topic N title"
  void StartTopic(std::string_view rest) {
    topic = nullptr;
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    const size_t blank = rest.find(' ');
    int number = 0;
    if (!ParseNumber(rest.substr(0, blank), number)) return Problem("bad topic number");
    HelpTopic fresh;
    if (blank != std::string_view::npos) fresh.title = std::string(rest.substr(blank + 1));
    auto [it, added] = help.topics.emplace(number, std::move(fresh));
    if (!added) return Problem("topic " + std::to_string(number) + " given twice");
    topic = &it->second;
  }

  void Append(HelpLine& line, char c) {
    if (c == '\t') {
      line.text.append(kTabWidth - line.text.size() % kTabWidth, ' ');
    } else {
      line.text += c;
    }
  }

  // A "{text|N}" reference starting at text[0]; its length, or 0 when malformed.
  size_t Link(std::string_view text, HelpLine& line) {
    const size_t close = text.find('}');
    const size_t bar = text.substr(0, close).rfind('|');
    int target = 0;
    if (close == std::string_view::npos || bar == std::string_view::npos ||
        !ParseNumber(text.substr(bar + 1, close - bar - 1), target) || bar == 1)
      return 0;
    HelpLink link{line.text.size(), 0, target};
    for (char c : text.substr(1, bar - 1)) Append(line, c);
    link.length = line.text.size() - link.column;
    line.links.push_back(link);
    return close + 1;
  }

  void TextLine(std::string_view text) {
    HelpLine line;
    for (size_t i = 0; i < text.size();) {
      if (text[i] == '{' && i + 1 < text.size() && text[i + 1] == '{') {
        line.text += '{';
        i += 2;
      } else if (text[i] == '{') {
        const size_t length = Link(text.substr(i), line);
        if (length == 0) Problem("malformed cross-reference");
        if (length == 0) Append(line, text[i++]);
        i += length;
      } else {
        Append(line, text[i++]);
      }
    }
    topic->lines.push_back(std::move(line));
  }

  void Line(std::string_view text) {
    ++lineNumber;
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (!text.empty() && text.front() == ';') return;
    if (text.substr(0, kTopicWord.size()) == kTopicWord &&
        (text.size() == kTopicWord.size() || text[kTopicWord.size()] == ' '))
      return StartTopic(text.substr(kTopicWord.size()));
    if (topic) TextLine(text);
  }

  void Finish() {
    for (auto& entry : help.topics) {
      const int number = entry.first;
      HelpTopic& t = entry.second;
      while (!t.lines.empty() && t.lines.back().text.find_first_not_of(' ') == std::string::npos)
        t.lines.pop_back();
      for (HelpLine& line : t.lines) {
        std::erase_if(line.links, [&](const HelpLink& link) {
          if (help.topics.count(link.target)) return false;
          help.problems.push_back("topic " + std::to_string(number) + " refers to missing topic " +
                                  std::to_string(link.target));
          return true;
        });
      }
    }
  }
};

}  // namespace

HelpFile ParseHelpText(std::string_view text) {
  Parser parser;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    parser.Line(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  parser.Finish();
  return std::move(parser.help);
}

bool LoadHelpFile(std::string_view programPath, HelpFile& help) {
  std::string text;
  int error = 0;
  if (!ReadWholeFile(programPath, kLargestHelpFile, text, error)) return false;
  help = ParseHelpText(text);
  return true;
}

int HelpTopicFor(int context) { return context >= 51 && context <= 99 ? 50 : context; }

}  // namespace vm::tui
