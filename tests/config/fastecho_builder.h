// FASTECHO.CFG built byte by byte, independently of the reader: the fixed part, extension
// records, node records and area records.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "text/net_address.h"

namespace vm::fetest {

inline void Put16(std::string& b, size_t at, uint32_t v) {
  if (b.size() < at + 2) b.resize(at + 2, '\0');
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

inline void Put32(std::string& b, size_t at, uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

inline void PutText(std::string& b, size_t at, const std::string& text) {
  if (b.size() < at + text.size() + 1) b.resize(at + text.size() + 1, '\0');
  b.replace(at, text.size(), text);
  b[at + text.size()] = '\0';
}

struct FeArea {
  std::string tag;
  uint16_t board = 0;
  uint8_t aka = 0;
  uint8_t storage = 1;
  uint8_t kind = 0;
  std::string path;
  std::string description;
};

// Writes FASTECHO.CFG: the 0x1224-byte fixed part, extension records, node records, areas.
struct FastEchoBuilder {
  uint16_t revision = 6;
  std::string netmailDir = "C:\\FE\\NETMAIL\\";
  std::string hudsonDir = "C:\\FE\\HUDSON";
  uint8_t akaCountField = 1;  // the file's count at 0x0CB2
  std::vector<NetAddress> akas = {{2, 5020, 1, 0}, {2, 5020, 1, 7}};
  std::vector<std::pair<uint16_t, std::string>> otherExtensions = {{1, std::string(30, 'x')},
                                                                   {6, std::string(500, 'g')}};
  uint16_t nodeCount = 2;
  uint16_t nodeRecordSize = 200;
  uint16_t areaRecordSize = 190;
  std::optional<uint16_t> areaCountField;  // default: the number of areas
  std::vector<FeArea> areas;

  std::string Build() const {
    std::string b(0x1224, '\0');
    Put16(b, 0x0000, revision);
    Put16(b, 0x0006, nodeCount);
    Put16(b, 0x0008, areaCountField.value_or(static_cast<uint16_t>(areas.size())));
    PutText(b, 0x000C, netmailDir);
    PutText(b, 0x0044, hudsonDir);
    b[0x0CB2] = static_cast<char>(akaCountField);
    Put16(b, 0x1216, areaRecordSize);
    Put16(b, 0x121E, nodeRecordSize);
    std::string extensions;
    for (const auto& [type, data] : otherExtensions) Extension(extensions, type, data);
    std::string addresses;
    for (const NetAddress& a : akas) {
      std::string entry(42, 'd');
      Put16(entry, 0, a.zone);
      Put16(entry, 2, a.net);
      Put16(entry, 4, a.node);
      Put16(entry, 6, a.point);
      addresses += entry;
    }
    Extension(extensions, 7, addresses);
    Extension(extensions, 8, std::string(20, 'o'));
    Put32(b, 0x1220, static_cast<uint32_t>(extensions.size()));
    b += extensions;
    b += std::string(size_t{nodeCount} * nodeRecordSize, 'n');
    for (const FeArea& area : areas) {
      std::string r(std::max<size_t>(areaRecordSize, 1), 'r');
      r.resize(std::max<size_t>(r.size(), 190), 'r');
      PutText(r, 0x00, area.tag);
      Put16(r, 0x34, area.board);
      r[0x3C] = static_cast<char>(area.aka);
      Put16(r, 0x3E, static_cast<uint32_t>(area.storage | area.kind << 4 | 3 << 8));
      PutText(r, 0x52, area.path);
      PutText(r, 0x8A, area.description);
      b += r.substr(0, std::max<size_t>(areaRecordSize, 190));
    }
    return b;
  }

  static void Extension(std::string& out, uint16_t type, const std::string& data) {
    std::string header(6, '\0');
    Put16(header, 0, type);
    Put32(header, 2, static_cast<uint32_t>(data.size()));
    out += header + data;
  }
};

}  // namespace vm::fetest
