// The address kludges of *.MSG texts: the header holds only nets and nodes, so zones travel in
// INTL, points in FMPT and TOPT. A message without INTL (echomail, netmail within one zone)
// is placed by the origin address of its MSGID, else by the node's own zone.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "text/net_address.h"

namespace vm {

// What the kludge lines of one message said; each value only when a line gave it.
struct AddressKludges {
  std::optional<uint16_t> destZone, origZone;    // INTL (the last one)
  std::optional<uint16_t> destPoint, origPoint;  // TOPT, FMPT
  std::optional<NetAddress> msgidOrigin;         // the first MSGID with a zone:net/node origin
};

// Reads one text line. A line feed and then a 0x01 at its start are dropped first, so plain
// lines beginning with INTL, TOPT or FMPT count as well: "INTL dest orig" gives both zones,
// "TOPT n" the destination point, "FMPT n" the origin point. MSGID counts only as a kludge
// (after 0x01). Values that are not numbers or addresses are passed over.
void ReadAddressKludge(std::string_view line, AddressKludges& found);

// Completes the addresses read from the header. Zones: those of INTL; without INTL both take
// the zone of the MSGID's origin, else `defaultZone`. Points: those of FMPT and TOPT; without
// FMPT the origin takes the MSGID's point when the MSGID names the header's net and node.
void ApplyAddressKludges(const AddressKludges& found, uint16_t defaultZone, NetAddress& orig,
                         NetAddress& dest);

}  // namespace vm
