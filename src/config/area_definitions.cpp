// AREADEFS.CTL: per-area settings for groups of areas selected by tag masks.
#include <array>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "config/area_mask.h"
#include "config/area_readers.h"
#include "config/case_fold.h"
#include "config/config_lines.h"
#include "platform/fatal.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr int64_t kMostHistoryDays = 1000;
constexpr size_t kRouteMaskWidth = 14;

enum class NetmailChange : uint8_t { Keep = 0, Set = 1, Clear = 2 };

// The settings of the group opened by the last AREA line.
struct Group {
  std::string mask;  // upper-cased
  std::string name;
  uint32_t sectionsPerDay = kUnlimited;
  SendMode sendMode = SendMode::Parallel;
  NetmailChange netmail = NetmailChange::Keep;
  uint8_t exclude = 0;
  std::vector<FileRoute> routes;
};

[[noreturn]] void BadValue(int lineNumber, const std::string& keyword) {
  FatalExit(Cp866("AREADEFS.CTL строка ") + std::to_string(lineNumber) +
            Cp866(" : Ошибка в параметре ") + keyword);
}

// The areas a mask can select, so that each mask is tried only where it may match: a mask
// without wildcards names areas by their tag, and one that starts with a plain character only
// meets tags that start with the same one.
class AreaCandidates {
 public:
  explicit AreaCandidates(const AreaTable& areas) : areas_(areas) {
    const auto& upper = Cp866UpperTable();
    for (int i = 1; i <= areas.Count(); ++i) {
      const std::string& tag = areas.At(i).tag;
      if (!tag.empty()) byFirst_[upper[static_cast<unsigned char>(tag[0])]].push_back(i);
    }
  }

  // The indexes, ascending, of the areas whose tags match the upper-cased mask.
  std::vector<int> Matching(const std::string& mask) const {
    if (mask.empty()) return {};
    if (mask.find_first_of("*?") == std::string::npos) return areas_.FindAreas(mask);
    std::vector<int> matching;
    if (mask[0] == '*' || mask[0] == '?') {
      for (int index = 1; index <= areas_.Count(); ++index)
        if (MatchMask(mask, areas_.At(index).tag)) matching.push_back(index);
    } else {
      for (int index : byFirst_[static_cast<unsigned char>(mask[0])])
        if (MatchMask(mask, areas_.At(index).tag)) matching.push_back(index);
    }
    return matching;
  }

 private:
  const AreaTable& areas_;
  std::array<std::vector<int>, 256> byFirst_;  // by the upper-cased first letter of the tag
};

// Copies the group's settings into every area whose tag matches its mask. The history length
// is not the group's own: it is the one in force when the group ends.
void ApplyGroup(const Group& group, uint32_t historyDays, const AreaCandidates& candidates,
                AreaTable& areas) {
  std::shared_ptr<const std::vector<FileRoute>> routes;
  if (!group.routes.empty()) routes = std::make_shared<const std::vector<FileRoute>>(group.routes);
  for (int index : candidates.Matching(group.mask)) {
    AreaEntry& area = areas.AtKeepingKeys(index);
    if (!group.name.empty()) area.displayName = CutTo(group.name, kAreaNameWidth);
    area.HistoryDays = historyDays;
    area.SectionsPerDay = group.sectionsPerDay;
    area.sendMode = group.sendMode;
    if (group.netmail != NetmailChange::Keep)
      area.netmail = group.netmail == NetmailChange::Set ? 1 : 0;
    area.exclude = group.exclude;
    area.fileRoutes = routes;
  }
}

// NAME "text": the text after the first double quote, up to the next one or the line's end.
std::string QuotedName(std::string_view line) {
  size_t open = line.find('"');
  if (open == std::string_view::npos) return {};
  size_t close = line.find('"', open + 1);
  if (close == std::string_view::npos) close = line.size();
  return CutTo(line.substr(open + 1, close - open - 1), kMaxText);
}

// Sets one keyword's value in the open group; the history length is kept apart as it carries
// over from group to group.
void ParseGroupLine(const std::string& keyword, std::string_view line, size_t pos,
                    int lineNumber, Group& group, uint32_t& historyDays) {
  if (keyword == "NAME") {
    group.name = QuotedName(line);
    if (group.name.empty()) BadValue(lineNumber, keyword);
  } else if (keyword == "SENDMODE") {
    std::string mode = NextUpperWord(pos, line);
    if (mode == "SEQUENTAL")
      group.sendMode = SendMode::Sequential;
    else if (mode == "PARALLEL")
      group.sendMode = SendMode::Parallel;
    else
      BadValue(lineNumber, keyword);
  } else if (keyword == "SECTIONSPERDAY") {
    auto number = ParseWholeNumber(NextUpperWord(pos, line));
    if (!number || *number < 1 || *number > std::numeric_limits<int32_t>::max())
      BadValue(lineNumber, keyword);
    group.sectionsPerDay = static_cast<uint32_t>(*number);
  } else if (keyword == "HISTORYLENGTH") {
    std::string value = NextUpperWord(pos, line);
    auto number = ParseWholeNumber(value);
    if (value == "INFINITE")
      historyDays = kUnlimited;
    else if (number && *number >= 0 && *number <= kMostHistoryDays)
      historyDays = static_cast<uint32_t>(*number);
    else
      BadValue(lineNumber, keyword);
  } else if (keyword == "NETMAIL" || keyword == "EXCLUDE") {
    std::string value = NextUpperWord(pos, line);
    if (value != "YES" && value != "NO") BadValue(lineNumber, keyword);
    bool yes = value == "YES";
    if (keyword == "NETMAIL")
      group.netmail = yes ? NetmailChange::Set : NetmailChange::Clear;
    else
      group.exclude = yes ? 1 : 0;
  } else if (keyword == "FILES") {
    FileRoute route;
    route.mask = CutTo(NextUpperWord(pos, line), kRouteMaskWidth);
    route.directory = NextUpperWord(pos, line);
    // A route without a mask or a directory could only send files to the wrong place.
    if (route.mask.empty() || route.directory.empty()) BadValue(lineNumber, keyword);
    group.routes.push_back(std::move(route));
  }
  // DECODEDIR is accepted without effect; other keywords are ignored.
}

// Offers to write the default file when the file cannot be opened; true when it can be read.
bool LoadDefinitions(const ProgramPaths& paths, Console& console, ConfigText& text) {
  int error = 0;
  if (ReadConfigText(paths.ProgramDir + "areadefs.ctl", text, error)) return true;
  if (AskYesNo(console, Cp866("Ошибка ") + std::to_string(error) +
                            Cp866(" открытия AREADEFS.CTL. Перезаписать на стандартный? (Y/N)")))
    WriteDefaultAreaDefinitions(paths);
  return ReadConfigText(paths.ProgramDir + "areadefs.ctl", text, error);
}

}  // namespace

void ReadAreaDefinitions(const ProgramPaths& paths, AreaTable& areas, Console& console) {
  ConfigText text;
  if (!LoadDefinitions(paths, console, text)) return;

  // Tags do not change while the definitions are applied.
  AreaCandidates candidates(std::as_const(areas));

  std::unique_ptr<Group> group;
  uint32_t historyDays = 0;  // before the first HISTORYLENGTH line
  int lineNumber = 0;
  for (std::string_view line : text.lines) {
    ++lineNumber;
    size_t pos = 0;
    SkipBlanks(pos, line);
    if (pos >= line.size() || line[pos] == ';') continue;
    std::string keyword = UpCaseAscii(GetWord(pos, line));
    SkipBlanks(pos, line);
    if (keyword == "AREA") {
      if (group) ApplyGroup(*group, historyDays, candidates, areas);
      group = std::make_unique<Group>();
      // The mask is the whole rest of the line; only the blanks at its end are dropped.
      group->mask = UpCaseCp866(Trim(line.substr(pos)));
    } else if (group) {
      ParseGroupLine(keyword, line, pos, lineNumber, *group, historyDays);
    }
  }
  if (group) ApplyGroup(*group, historyDays, candidates, areas);
}

}  // namespace vm
