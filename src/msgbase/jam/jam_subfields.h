// JAM header subfields: decoding and encoding them, the header fields and kludge lines they
// stand for when read, and the subfields that a new message's fields and kludges become.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/net_address.h"

namespace vm::jam {

struct Subfield {
  uint16_t id = 0;
  std::string data;
  friend bool operator==(const Subfield&, const Subfield&) = default;
};

// Decodes the subfield area of a header. A subfield whose length runs past the end of the
// area ends the decoding (the area is damaged); the subfields before it are kept.
std::vector<Subfield> DecodeSubfields(std::string_view area);

// Encodes subfields in order. One that would take the total past the 4000 bytes that other
// programs allow for is left out.
std::string EncodeSubfields(const std::vector<Subfield>& subfields);

// What a reader sees of the subfields.
struct MessageFields {
  std::string fromName;
  std::string toName;
  std::string subject;
  NetAddress orig;
  NetAddress dest;
  std::string kludgeLines;  // each line begins with 0x01 and ends with a carriage return
};

// The attribute word decides whether file names stand in for the subject.
MessageFields InterpretSubfields(const std::vector<Subfield>& subfields, uint32_t attributes);

// The subfield that a kludge line (with or without its leading 0x01) is filed as; nothing for
// the address kludges INTL, TOPT and FMPT, which JAM keeps in the address subfields instead.
std::optional<Subfield> FileKludgeLine(std::string_view line);

// The name, address and subject subfields that open a new message's header.
std::vector<Subfield> LeadingSubfields(std::string_view fromName, const NetAddress& orig,
                                       std::string_view toName, const NetAddress& dest,
                                       std::string_view subject, bool fileRequest);

}  // namespace vm::jam
