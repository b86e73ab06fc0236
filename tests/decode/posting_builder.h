// Builds postings for decoding tests: UU and XX sections laid out with their "sum -r/size"
// lines, MIME base64 parts, and the program's own text sections.
#pragma once

#include <string>
#include <vector>

#include "text/alphabets.h"
#include "text/checksums.h"

namespace vm::test {

using Lines = std::vector<std::string>;

inline std::string EncodeGroups(const Alphabet& a, const std::string& bytes) {
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    unsigned b0 = static_cast<unsigned char>(bytes[i]);
    unsigned b1 = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
    unsigned b2 = i + 2 < bytes.size() ? static_cast<unsigned char>(bytes[i + 2]) : 0;
    out += a.chars[b0 >> 2];
    out += a.chars[((b0 << 4) | (b1 >> 4)) & 63];
    out += a.chars[((b1 << 2) | (b2 >> 6)) & 63];
    out += a.chars[b2 & 63];
  }
  return out;
}

inline uint16_t Sum(uint16_t sum, const std::string& text) {
  return BsdSumAdd(sum, text.data(), text.size());
}

// Sections of a UU (or XX) posting of `data`, 45 bytes a line.
inline std::vector<Lines> UuSections(const std::string& data, const std::string& name,
                                     int linesPerSection, EncodingKind kind = EncodingKind::Uu) {
  const Alphabet& a = AlphabetFor(kind);
  const size_t capacity = static_cast<size_t>(linesPerSection) * 45;
  const int total = static_cast<int>((data.size() + capacity - 1) / capacity);
  std::vector<Lines> sections;
  for (int number = 1; number <= total; ++number) {
    Lines lines{"section " + std::to_string(number) + " of " + std::to_string(total) + " of file " +
                    name + " < uuencoded by test >",
                ""};
    uint16_t sum = 0;
    uint32_t size = 0;
    if (number == 1) {
      lines.push_back("filetime 1480337408");
      lines.push_back("begin 644 " + name);
      sum = Sum(sum, "begin 644 " + name + "\n");
      size = static_cast<uint32_t>(name.size()) + 11;
    }
    const size_t start = static_cast<size_t>(number - 1) * capacity;
    for (size_t at = start; at < data.size() && at < start + capacity; at += 45) {
      const std::string chunk = data.substr(at, 45);
      const std::string line = std::string(1, a.chars[chunk.size()]) + EncodeGroups(a, chunk);
      lines.push_back(line);
      sum = Sum(sum, line + "\n");
      size += static_cast<uint32_t>(line.size()) + 1;
    }
    if (number == total) {
      lines.push_back(std::string(1, a.chars[0]));
      lines.push_back("end");
      sum = Sum(sum, std::string(1, a.chars[0]) + "\nend\n");
      size += 6;
    }
    lines.push_back("");
    lines.push_back("sum -r/size " + std::to_string(sum) + "/" + std::to_string(size) +
                    " section (from first to last encoded line)");
    if (number == total) {
      lines.push_back("sum -r/size " + std::to_string(Sum(0, data)) + "/" +
                      std::to_string(data.size()) + " entire input file");
    }
    lines.push_back("");
    sections.push_back(lines);
  }
  return sections;
}

// One part of a MIME posting (message/partial when total > 1), 57 bytes a line.
inline Lines MimePart(const std::string& chunk, const std::string& name, int number, int total,
                      const std::string& id = "4646") {
  Lines lines{"MIME-Version: 1.0"};
  if (total > 1) {
    lines.push_back("Content-Type: message/partial;");
    lines.push_back("  id=\"" + id + "\"");
    lines.push_back("  number=" + std::to_string(number) + "; total=" + std::to_string(total));
    lines.push_back("");
  }
  lines.push_back("Content-Type: application/octet-stream; name=\"" + name + "\"");
  lines.push_back("Content-Transfer-Encoding: base64");
  lines.push_back("Content-Disposition: attachment; filename=\"" + name + "\"");
  lines.push_back("");
  for (size_t at = 0; at < chunk.size(); at += 57) {
    const std::string piece = chunk.substr(at, 57);
    std::string line = EncodeGroups(kBase64Alphabet, piece);
    if (piece.size() % 3 == 1) line.replace(line.size() - 2, 2, "==");
    if (piece.size() % 3 == 2) line.back() = '=';
    lines.push_back(line);
  }
  lines.push_back("");
  return lines;
}

// Deterministic test bytes covering all values.
inline std::string TestBytes(size_t size, unsigned seed = 1) {
  std::string out(size, '\0');
  uint32_t x = seed * 2654435761u + 12345;
  for (char& c : out) {
    x = x * 1103515245u + 12345;
    c = static_cast<char>(x >> 23);
  }
  return out;
}

}  // namespace vm::test
