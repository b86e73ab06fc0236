#include "encode/macros.h"

#include <algorithm>

#include "encode/section_layout.h"
#include "text/cp866.h"
#include "text/date_text.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

// A subject or a RANDOM line may hold "%NAME%" itself; expansion stops after this many.
constexpr int kMostExpansions = 64;
// SBAR: the width's digits are followed by separator, fill, separator, empty, one more.
constexpr size_t kBarParameters = 5;
constexpr int kBarWidthModulus = 256;

// SBAR: "[" + fill for the sections posted so far + empty for the rest + "]", built from
// the parameters at pos, which are removed.
std::string ProgressBar(std::string& line, size_t pos, const MacroValues& values) {
  size_t end = pos;
  int width = 0;
  while (end < line.size() && line[end] >= '0' && line[end] <= '9') {
    width = (width * 10 + (line[end] - '0')) % kBarWidthModulus;
    ++end;
  }
  const char fill = end + 1 < line.size() ? line[end + 1] : ' ';
  const char empty = end + 3 < line.size() ? line[end + 3] : ' ';
  line.erase(pos, std::min(line.size(), end + kBarParameters) - pos);
  int filled = values.total > 0 ? values.number * width / values.total : width;
  filled = std::clamp(filled, 0, width);
  return "[" + std::string(static_cast<size_t>(filled), fill) +
         std::string(static_cast<size_t>(width - filled), empty) + "]";
}

std::string MacroValue(std::string_view name, std::string& line, size_t pos,
                       const MacroValues& values) {
  if (name == "TONAME") return values.toName;
  if (name == "ORIGADDR") return values.origAddress;
  if (name == "VERSION") return std::string(kPosterName);
  if (name == "NAME") return values.name;
  if (name == "SUBJ") return values.subject;
  if (name == "LENGTH") return values.length;
  if (name == "TOTAL") return std::to_string(values.total);
  if (name == "CURRENT") return std::to_string(values.number);
  if (name == "LINESPERSEC") return values.linesPerSection;
  if (name == "DATETIME") return values.dateTime;
  if (name == "SBAR") return ProgressBar(line, pos, values);
  if (name == "RANDOM") {
    size_t end = pos;
    const std::string fileName = UpCaseCp866(GetWord(end, line));
    line.erase(pos, std::min(line.size(), end + 1) - pos);
    return values.randomLine ? values.randomLine(fileName) : std::string();
  }
  return {};
}

}  // namespace

std::string MacroDateTime(int month, int day, int year, int hour, int minute, int second) {
  return TwoDigits(month) + "-" + TwoDigits(day) + "-" + TwoDigits(year) + Cp866(" в ") +
         TwoDigits(hour) + ":" + TwoDigits(minute) + ":" + TwoDigits(second);
}

void ExpandMacros(std::string& line, const MacroValues& values) {
  for (int expansions = 0; expansions < kMostExpansions; ++expansions) {
    const size_t pos = line.find('%');
    if (pos == std::string::npos) break;
    line.erase(pos, 1);
    size_t end = pos;
    const std::string name = UpCaseCp866(GetWord(end, line));
    // The name and the one delimiter that ends it.
    line.erase(pos, std::min(line.size(), end + 1) - pos);
    const std::string value = MacroValue(name, line, pos, values);
    line.insert(pos, value);
    if (line.size() > kMaxText) line.resize(kMaxText);
  }
}

}  // namespace vm
