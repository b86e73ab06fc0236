#include "msgbase/fido/fido_kludges.h"

#include <optional>
#include <string>
#include <vector>

#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

std::vector<std::string_view> BlankSeparatedWords(std::string_view line) {
  std::vector<std::string_view> words;
  size_t pos = 0;
  while (pos < line.size()) {
    while (pos < line.size() && line[pos] == ' ') ++pos;
    size_t end = line.find(' ', pos);
    if (end == std::string_view::npos) end = line.size();
    if (end > pos) words.push_back(line.substr(pos, end - pos));
    pos = end;
  }
  return words;
}

// The zone of "zone:net/node": the number before the colon.
std::optional<uint16_t> ZoneOf(std::string_view address) {
  size_t colon = address.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  return ParseWord16(address.substr(0, colon));
}

}  // namespace

void ApplyAddressKludge(std::string_view line, NetAddress& orig, NetAddress& dest) {
  if (!line.empty() && line[0] == '\n') line.remove_prefix(1);
  if (!line.empty() && line[0] == '\x01') line.remove_prefix(1);
  if (line.size() < 4) return;
  std::string_view keyword = line.substr(0, 4);
  bool intl = EqualNoCaseCp866(keyword, "INTL");
  bool topt = EqualNoCaseCp866(keyword, "TOPT");
  if (!intl && !topt && !EqualNoCaseCp866(keyword, "FMPT")) return;
  std::vector<std::string_view> words = BlankSeparatedWords(line);
  if (words.size() < 2) return;
  if (intl) {
    if (auto zone = ZoneOf(words[1])) dest.zone = *zone;
    if (words.size() >= 3)
      if (auto zone = ZoneOf(words[2])) orig.zone = *zone;
  } else if (auto point = ParseWord16(words[1])) {
    (topt ? dest : orig).point = *point;
  }
}

}  // namespace vm
