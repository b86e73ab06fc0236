// FidoNet addresses: zone:net/node.point.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vm {

struct NetAddress {
  uint16_t zone = 0;
  uint16_t net = 0;
  uint16_t node = 0;
  uint16_t point = 0;

  bool IsEmpty() const { return zone == 0 && net == 0 && node == 0 && point == 0; }
  friend bool operator==(const NetAddress&, const NetAddress&) = default;
};

// Parses "zone:net/node.point" and its shortened forms "net/node[.point]", "node[.point]" and
// ".point"; the parts left out come from defaults (zone and net, and the node for ".point").
// An "@domain" suffix is ignored. Blanks around the text are allowed. Returns nothing when the
// text is not an address (empty, stray characters, a number above 65535).
std::optional<NetAddress> ParseNetAddress(std::string_view text, const NetAddress& defaults);

// "zone:net/node", followed by ".point" when the point is not 0.
std::string FormatNetAddress(const NetAddress& address);

// "zone:net/node" without the point.
std::string FormatNetAddress3D(const NetAddress& address);

}  // namespace vm
