// An independent writer and reader of Hudson (QuickBBS) message bases for tests, typed from
// the public descriptions of the QuickBBS/RemoteAccess record structures (MsgInfo, MsgIdx,
// MsgToIdx, MsgHdr, MsgTxt as Pascal records, fields in order) rather than from the program's
// own layout, so that the two can check each other. Paths are host paths.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vm::test {

struct HudsonInfo {
  uint16_t lowMsg = 0;
  uint16_t highMsg = 0;
  uint16_t active = 0;
  std::array<uint16_t, 200> areaActive{};
};

struct HudsonMessage {
  uint16_t msgNum = 0;  // 0xFFFF in the index once deleted
  uint8_t area = 1;
  uint16_t destNet = 0, destNode = 0, origNet = 0, origNode = 0;
  uint8_t destZone = 0, origZone = 0;
  uint8_t msgAttr = 0x40;  // local
  uint8_t netAttr = 0;
  std::string time = "10:00";
  std::string date = "03-01-26";
  std::string to = "All";
  std::string from = "Sysop";
  std::string subject;
  std::string text;     // lines end with CR
  std::string toIndex;  // what MSGTOIDX.BBS says (filled by the reader)
};

// The five files of an empty base, the info record's low number 1.
void CreateHudsonBase(const std::string& dir);
// Appends a message (text records, header, to-index and index records, counts) the way a
// QuickBBS-era program does, with no record limit; returns its number.
uint16_t AppendHudsonMessage(const std::string& dir, HudsonMessage message);
HudsonInfo ReadHudsonInfo(const std::string& dir);
// Every header record in order, with its text (all the records it names) and index entries.
std::vector<HudsonMessage> ReadHudsonMessages(const std::string& dir);
// The 16-bit entries of ECHOMAIL.BBS or NETMAIL.BBS.
std::vector<uint16_t> ReadHudsonList(const std::string& path);

}  // namespace vm::test
