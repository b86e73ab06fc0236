#include "decode/subject_numbering.h"

#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr int64_t kMostParts = 8000;  // as many sections as the catalogue believes in

std::optional<int32_t> PartNumber(std::string_view text) {
  auto value = ParseWholeNumber(TrimView(text));
  if (!value || *value < 1 || *value > kMostParts) return std::nullopt;
  return static_cast<int32_t>(*value);
}

// "i/n" exactly (blanks around the numbers allowed).
bool ReadFraction(std::string_view text, SubjectNumbering& out) {
  const size_t slash = text.find('/');
  if (slash == std::string_view::npos) return false;
  auto number = PartNumber(text.substr(0, slash));
  auto total = PartNumber(text.substr(slash + 1));
  if (!number || !total) return false;
  out.number = *number;
  out.total = *total;
  return true;
}

// The last blank-separated word of text, and text without it.
std::string_view LastWord(std::string_view& text) {
  text = TrimView(text);
  const size_t blank = text.find_last_of(' ');
  std::string_view word = blank == std::string_view::npos ? text : text.substr(blank + 1);
  text = blank == std::string_view::npos ? std::string_view() : text.substr(0, blank);
  return word;
}

}  // namespace

std::optional<SubjectNumbering> ParseSubjectNumbering(std::string_view subject) {
  std::string_view text = TrimView(subject);
  SubjectNumbering out;
  if (!text.empty() && (text.back() == ')' || text.back() == ']')) {
    const size_t open = text.find_last_of(text.back() == ')' ? '(' : '[');
    if (open == std::string_view::npos ||
        !ReadFraction(text.substr(open + 1, text.size() - open - 2), out))
      return std::nullopt;
    text = text.substr(0, open);
  } else {
    std::string_view rest = text;
    const std::string_view last = LastWord(rest);
    if (ReadFraction(last, out)) {
      text = rest;
    } else {
      // "NAME - i of n"
      const std::string_view of = LastWord(rest);
      const std::string_view first = LastWord(rest);
      const std::string_view dash = LastWord(rest);
      auto number = PartNumber(first);
      auto total = PartNumber(last);
      if (UpCaseCp866(of) != "OF" || dash != "-" || !number || !total) return std::nullopt;
      out.number = *number;
      out.total = *total;
      text = rest;
    }
  }
  out.name = std::string(TrimView(text));
  if (out.name.empty() || out.number > out.total) return std::nullopt;
  return out;
}

}  // namespace vm
