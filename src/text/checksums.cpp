#include "text/checksums.h"

#include <array>

namespace vm {
namespace {

constexpr std::array<uint32_t, 256> MakeTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}

constexpr std::array<uint32_t, 256> kTable = MakeTable();

}  // namespace

uint32_t Crc32Byte(uint32_t crc, unsigned char byte) {
  return kTable[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

uint32_t Crc32Update(uint32_t crc, const void* data, size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) crc = Crc32Byte(crc, p[i]);
  return crc;
}

int32_t StrCrc32(std::string_view text) {
  uint32_t crc = 0xFFFFFFFFu;
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 32);
    crc = Crc32Byte(crc, c);
  }
  return static_cast<int32_t>(crc);
}

uint16_t BsdSumAdd(uint16_t sum, const void* data, size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) sum = BsdSumAdd(sum, p[i]);
  return sum;
}

}  // namespace vm
