// FidoNet type-2 packets (FTS-0001, with the type 2+ capability word so that points travel
// in the packet header) for tests that exchange mail with real tossers: a writer for packets
// to toss and a reader for the packets they export. Message bodies are raw bytes: the AREA
// line, kludges and text are built with the helpers below or by hand.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/dos_time.h"
#include "text/net_address.h"

namespace vm {

struct PacketMessage {
  // Only net and node are carried by a packed message; zones and points travel in the INTL,
  // FMPT and TOPT kludges of netmail bodies.
  NetAddress orig;
  NetAddress dest;
  uint16_t attribute = 0;
  uint16_t cost = 0;
  std::string dateTime;  // "DD Mon YY  HH:MM:SS" (at most 19 bytes)
  std::string toName;    // at most 35 bytes
  std::string fromName;  // at most 35 bytes
  std::string subject;   // at most 71 bytes
  std::string body;      // any bytes except NUL; lines end with CR
};

struct Packet {
  NetAddress orig;
  NetAddress dest;
  DateTime created;
  std::string password;  // at most 8 bytes
  std::vector<PacketMessage> messages;
};

std::string WritePacket(const Packet& packet);
// Nothing when the bytes are not a type-2 packet or a message is cut short.
std::optional<Packet> ReadPacket(std::string_view bytes);

// "DD Mon YY  HH:MM:SS" as packets and *.MSG headers write it.
std::string FidoDateTimeText(const DateTime& t);

// Echomail body: "AREA:tag", then each kludge (given without the 0x01), then the text, then a
// tear line, the origin line and a SEEN-BY line for the origin's net/node.
std::string EchomailBody(std::string_view area, const std::vector<std::string>& kludges,
                         std::string_view text, const NetAddress& origin);
// Netmail body: INTL (destination, origin), FMPT and TOPT when the addresses are points, the
// other kludges (given without the 0x01), then the text.
std::string NetmailBody(const NetAddress& orig, const NetAddress& dest,
                        const std::vector<std::string>& kludges, std::string_view text);

// Lines of a body split at CR (a trailing LF after each CR is dropped).
std::vector<std::string> BodyLines(std::string_view body);
// The value after "\x01KEYWORD" and a colon or blank in a body, or nothing.
std::optional<std::string> KludgeValue(std::string_view body, std::string_view keyword);
// The body's lines that are neither kludges (PATH included), the AREA line nor SEEN-BY lines.
std::vector<std::string> TextLines(std::string_view body);

}  // namespace vm
