#include "msgbase/fido/fido_kludges.h"

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

// The origin of "MSGID: zone:net/node[.point][@domain] serial"; other origins (a domain
// name, an address without its zone) place nothing.
std::optional<NetAddress> MsgidOrigin(std::string_view word) {
  if (word.find(':') == std::string_view::npos || word.find('/') == std::string_view::npos)
    return std::nullopt;
  std::optional<NetAddress> address = ParseNetAddress(word, NetAddress{});
  if (!address || address->zone == 0) return std::nullopt;
  return address;
}

}  // namespace

void ReadAddressKludge(std::string_view line, AddressKludges& found) {
  if (!line.empty() && line[0] == '\n') line.remove_prefix(1);
  const bool kludge = !line.empty() && line[0] == '\x01';
  if (kludge) line.remove_prefix(1);
  if (line.size() < 4) return;
  const std::string_view keyword = line.substr(0, 4);
  const bool intl = EqualNoCaseCp866(keyword, "INTL");
  const bool topt = EqualNoCaseCp866(keyword, "TOPT");
  const bool fmpt = EqualNoCaseCp866(keyword, "FMPT");
  const bool msgid = kludge && line.size() >= 6 && EqualNoCaseCp866(line.substr(0, 6), "MSGID:");
  if (!intl && !topt && !fmpt && !msgid) return;
  std::vector<std::string_view> words = BlankSeparatedWords(line);
  if (words.size() < 2) return;
  if (msgid) {
    if (!found.msgidOrigin) found.msgidOrigin = MsgidOrigin(words[1]);
  } else if (intl) {
    if (auto zone = ZoneOf(words[1])) found.destZone = *zone;
    if (words.size() >= 3)
      if (auto zone = ZoneOf(words[2])) found.origZone = *zone;
  } else if (auto point = ParseWord16(words[1])) {
    (topt ? found.destPoint : found.origPoint) = *point;
  }
}

void ApplyAddressKludges(const AddressKludges& found, uint16_t defaultZone, NetAddress& orig,
                         NetAddress& dest) {
  const uint16_t zone = found.msgidOrigin ? found.msgidOrigin->zone : defaultZone;
  orig.zone = found.origZone.value_or(zone);
  dest.zone = found.destZone.value_or(zone);
  if (found.origPoint) {
    orig.point = *found.origPoint;
  } else if (found.msgidOrigin && found.msgidOrigin->net == orig.net &&
             found.msgidOrigin->node == orig.node) {
    orig.point = found.msgidOrigin->point;
  }
  if (found.destPoint) dest.point = *found.destPoint;
}

}  // namespace vm
