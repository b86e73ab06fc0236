// FASTECHO.CFG, the binary configuration of the FastEcho echomail processor (revision 6 and
// later): the parts the area table needs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "config/area_readers.h"
#include "text/net_address.h"

namespace vm {

struct FastEchoArea {
  std::string tag;
  std::string description;
  std::string path;      // base path (*.MSG directory, Squish or JAM base)
  uint16_t board = 0;    // Hudson board, 1 to 200
  uint8_t akaIndex = 0;  // index into the own addresses
  uint8_t storage = 0;   // 0 Hudson, 1 *.MSG, 2 Squish, 3 JAM
  uint8_t kind = 0;      // 1 netmail
};

struct FastEchoConfig {
  enum class Status { Ok, OldRevision, Truncated };
  Status status = Status::Ok;
  std::string netmailDir;
  std::string hudsonDir;
  std::vector<NetAddress> akas;     // the own addresses stored in the file, by index
  std::vector<FastEchoArea> areas;  // areas with a base of their own, in file order
};

// Reads `size` bytes at an offset into the buffer; returns how many were read.
using ReadAtFunction = std::function<size_t(uint64_t offset, void* buffer, size_t size)>;

// Parses a file of fileSize bytes. Deleted areas and areas without a base of their own
// (passed through) are left out; a damaged record list ends at the last whole record.
FastEchoConfig ParseFastEchoConfig(uint64_t fileSize, const ReadAtFunction& readAt);

// Puts the parsed areas into the table and keeps the netmail directory for AddFastEchoNetmail.
void ApplyFastEchoConfig(const FastEchoConfig& config, AreaReaderContext& context);

}  // namespace vm
