// AREADEFS.CTL: per-area settings for groups of areas selected by tag masks.
#include <array>
#include <cerrno>
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

// The settings of one group, from its AREA line to the next one.
struct Group {
  std::string mask;  // upper-cased
  std::string name;
  uint32_t sectionsPerDay = kUnlimited;
  SendMode sendMode = SendMode::Parallel;
  NetmailChange netmail = NetmailChange::Keep;
  uint8_t exclude = 0;
  std::vector<FileRoute> routes;
  // Set when the group ends: the history length then in force (it carries over from group to
  // group) and the routes as the selected areas share them.
  uint32_t historyDays = 0;
  std::shared_ptr<const std::vector<FileRoute>> sharedRoutes;
};

[[noreturn]] void BadValue(int lineNumber, const std::string& keyword) {
  FatalExit(Cp866("AREADEFS.CTL строка ") + std::to_string(lineNumber) +
            Cp866(" : Ошибка в параметре ") + keyword);
}

// The areas a mask can select, so that each mask is tried only where it may match: a mask
// without wildcards names areas by their tag, "*" and "*.*" select all without looking, and a
// mask that starts with a plain character only meets tags that start with the same one.
class AreaCandidates {
 public:
  explicit AreaCandidates(const AreaTable& areas) : areas_(areas) {
    // The indexes ordered by the upper-cased first letter of the tag (a counting sort).
    const auto& upper = Cp866UpperTable();
    std::array<int, 257> starts{};
    for (int i = 1; i <= areas.Count(); ++i) ++starts[FirstOf(areas.At(i).tag, upper) + 1];
    for (size_t c = 1; c < starts.size(); ++c) starts[c] += starts[c - 1];
    starts_ = starts;
    byFirst_.resize(static_cast<size_t>(starts[256]));
    for (int i = 1; i <= areas.Count(); ++i)
      byFirst_[static_cast<size_t>(starts[FirstOf(areas.At(i).tag, upper)]++)] = i;
  }

  // Calls visit with the index, ascending, of every area whose tag matches the upper-cased
  // mask.
  template <typename Visit>
  void ForEachMatching(const std::string& mask, Visit visit) const {
    if (mask.empty()) return;
    if (mask.find_first_of("*?") == std::string::npos) {
      for (int index : areas_.FindAreas(mask)) visit(index);
    } else if (MatchesEveryTag(mask)) {
      for (int index = 1; index <= areas_.Count(); ++index) visit(index);
    } else if (mask[0] == '*' || mask[0] == '?') {
      for (int index = 1; index <= areas_.Count(); ++index)
        if (MatchMask(mask, areas_.At(index).tag)) visit(index);
    } else {
      auto first = static_cast<unsigned char>(mask[0]);
      for (int k = starts_[first]; k < starts_[first + 1]; ++k) {
        int index = byFirst_[static_cast<size_t>(k)];
        if (MatchMask(mask, areas_.At(index).tag)) visit(index);
      }
    }
  }

 private:
  // 0 for an empty tag, which no mask with a plain first character selects.
  static size_t FirstOf(const std::string& tag, const std::array<unsigned char, 256>& upper) {
    return tag.empty() ? 0 : upper[static_cast<unsigned char>(tag[0])];
  }

  const AreaTable& areas_;
  std::vector<int> byFirst_;
  std::array<int, 257> starts_{};  // where each first letter's run of byFirst_ starts
};

// Every group sets all of its fields in every area it selects, one group after the other; so
// an area ends with the fields of the last group that selects it, but for the display name,
// which only a named group sets, and the netmail flag, which only a group with a NETMAIL line
// sets. The groups that have the last word are noted per area as the groups end and applied
// once at the end, so that an area that many groups select is written once.
class LastWords {
 public:
  explicit LastWords(int areaCount)
      : fields_(static_cast<size_t>(areaCount), kNone),
        name_(static_cast<size_t>(areaCount), kNone),
        netmail_(static_cast<size_t>(areaCount), kNone) {}

  void Select(int index, int group, const Group& settings) {
    auto at = static_cast<size_t>(index - 1);
    fields_[at] = group;
    if (!settings.name.empty()) name_[at] = group;
    if (settings.netmail != NetmailChange::Keep) netmail_[at] = group;
  }

  void ApplyTo(AreaTable& areas, const std::vector<Group>& groups) const {
    for (size_t at = 0; at < fields_.size(); ++at) {
      if (fields_[at] == kNone) continue;
      AreaEntry& area = areas.AtKeepingKeys(static_cast<int>(at) + 1);
      const Group& last = groups[static_cast<size_t>(fields_[at])];
      area.HistoryDays = last.historyDays;
      area.SectionsPerDay = last.sectionsPerDay;
      area.sendMode = last.sendMode;
      area.exclude = last.exclude;
      area.fileRoutes = last.sharedRoutes;
      if (name_[at] != kNone)
        area.displayName =
            std::string_view(groups[static_cast<size_t>(name_[at])].name).substr(0, kAreaNameWidth);
      if (netmail_[at] != kNone)
        area.netmail = groups[static_cast<size_t>(netmail_[at])].netmail == NetmailChange::Set;
    }
  }

 private:
  static constexpr int kNone = -1;
  std::vector<int> fields_;   // the last group that selects the area
  std::vector<int> name_;     // the last named one
  std::vector<int> netmail_;  // the last one with a NETMAIL line
};

// NAME "text": the text after the first double quote, up to the next one or the line's end.
std::string QuotedName(std::string_view line) {
  size_t open = line.find('"');
  if (open == std::string_view::npos) return {};
  size_t close = line.find('"', open + 1);
  if (close == std::string_view::npos) close = line.size();
  return CutTo(line.substr(open + 1, close - open - 1), kMaxText);
}

// Sets one keyword's value in the open group; the history length is kept apart as it carries
// over from group to group. False when the value is bad.
bool ParseGroupLine(const std::string& keyword, std::string_view line, size_t pos, Group& group,
                    uint32_t& historyDays) {
  if (keyword == "NAME") {
    group.name = QuotedName(line);
    if (group.name.empty()) return false;
  } else if (keyword == "SENDMODE") {
    std::string mode = NextUpperWord(pos, line);
    if (mode == "SEQUENTAL")
      group.sendMode = SendMode::Sequential;
    else if (mode == "PARALLEL")
      group.sendMode = SendMode::Parallel;
    else
      return false;
  } else if (keyword == "SECTIONSPERDAY") {
    auto number = ParseWholeNumber(NextUpperWord(pos, line));
    if (!number || *number < 1 || *number > std::numeric_limits<int32_t>::max()) return false;
    group.sectionsPerDay = static_cast<uint32_t>(*number);
  } else if (keyword == "HISTORYLENGTH") {
    std::string value = NextUpperWord(pos, line);
    auto number = ParseWholeNumber(value);
    if (value == "INFINITE")
      historyDays = kUnlimited;
    else if (number && *number >= 0 && *number <= kMostHistoryDays)
      historyDays = static_cast<uint32_t>(*number);
    else
      return false;
  } else if (keyword == "NETMAIL" || keyword == "EXCLUDE") {
    std::string value = NextUpperWord(pos, line);
    if (value != "YES" && value != "NO") return false;
    bool yes = value == "YES";
    if (keyword == "NETMAIL")
      group.netmail = yes ? NetmailChange::Set : NetmailChange::Clear;
    else
      group.exclude = yes ? 1 : 0;
  } else if (keyword == "FILES") {
    FileRoute route;
    route.mask = CutTo(NextUpperWord(pos, line), kRouteMaskWidth);
    route.directory = NextWord(pos, line);
    // A route without a mask or a directory could only send files to the wrong place.
    if (route.mask.empty() || route.directory.empty()) return false;
    group.routes.push_back(std::move(route));
  }
  // DECODEDIR is accepted without effect; other keywords are ignored.
  return true;
}

// Offers to write the default file when the file cannot be opened; true when it can be read.
bool LoadDefinitions(const ProgramPaths& paths, Console& console, ConfigText& text) {
  int error = 0;
  if (ReadConfigText(paths.ProgramDir + "areadefs.ctl", text, error)) return true;
  // Too large to be definitions: not to be overwritten on a key press.
  if (error == EFBIG)
    FatalExit(Cp866("Файл AREADEFS.CTL") + UnreadableFileReason(error, kMaxConfigText));
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
  LastWords lastWords(areas.Count());
  std::vector<Group> groups;
  uint32_t historyDays = 0;  // before the first HISTORYLENGTH line
  auto endGroup = [&] {
    if (groups.empty()) return;
    Group& group = groups.back();
    group.historyDays = historyDays;
    if (!group.routes.empty())
      group.sharedRoutes = std::make_shared<const std::vector<FileRoute>>(group.routes);
    int number = static_cast<int>(groups.size()) - 1;
    candidates.ForEachMatching(group.mask,
                               [&](int index) { lastWords.Select(index, number, group); });
  };

  int lineNumber = 0;
  for (std::string_view line : text.lines) {
    ++lineNumber;
    size_t pos = 0;
    SkipBlanks(pos, line);
    if (pos >= line.size() || line[pos] == ';') continue;
    std::string keyword = UpCaseAscii(GetWord(pos, line));
    SkipBlanks(pos, line);
    if (keyword == "AREA") {
      endGroup();
      groups.emplace_back();
      // The mask is the whole rest of the line; only the blanks at its end are dropped.
      groups.back().mask = UpCaseCp866(TrimView(line.substr(pos)));
    } else if (!groups.empty() && !ParseGroupLine(keyword, line, pos, groups.back(), historyDays)) {
      // The groups before the one with the bad value have taken effect when the program stops.
      lastWords.ApplyTo(areas, groups);
      BadValue(lineNumber, keyword);
    }
  }
  endGroup();
  lastWords.ApplyTo(areas, groups);
}

}  // namespace vm
