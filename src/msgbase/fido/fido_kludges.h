// The netmail address kludges of *.MSG texts: zones travel in INTL, points in FMPT and TOPT,
// as the header holds only nets and nodes.
#pragma once

#include <string_view>

#include "text/net_address.h"

namespace vm {

// Applies one text line to the addresses read from the header. A line feed and then a 0x01
// at its start are dropped first, so plain lines beginning with these words count as well:
// "INTL dest orig" sets both zones, "TOPT n" the destination point, "FMPT n" the origin
// point. Values that are not numbers leave the address as it was.
void ApplyAddressKludge(std::string_view line, NetAddress& orig, NetAddress& dest);

}  // namespace vm
