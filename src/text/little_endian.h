// Little-endian fields of the binary formats (message bases, FASTECHO.CFG, packets), read and
// written byte by byte at an offset, so no buffer is ever cast to a struct.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vm {

inline uint16_t GetLe16(const void* data, size_t offset) {
  const auto* p = static_cast<const unsigned char*>(data) + offset;
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

inline uint32_t GetLe32(const void* data, size_t offset) {
  const auto* p = static_cast<const unsigned char*>(data) + offset;
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline void PutLe16(void* data, size_t offset, uint16_t value) {
  auto* p = static_cast<unsigned char*>(data) + offset;
  p[0] = static_cast<unsigned char>(value);
  p[1] = static_cast<unsigned char>(value >> 8);
}

inline void PutLe32(void* data, size_t offset, uint32_t value) {
  auto* p = static_cast<unsigned char*>(data) + offset;
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(value >> (8 * i));
}

inline uint16_t GetLe16(std::string_view buffer, size_t offset) {
  return GetLe16(buffer.data(), offset);
}
inline uint32_t GetLe32(std::string_view buffer, size_t offset) {
  return GetLe32(buffer.data(), offset);
}
inline void PutLe16(std::string& buffer, size_t offset, uint16_t value) {
  PutLe16(buffer.data(), offset, value);
}
inline void PutLe32(std::string& buffer, size_t offset, uint32_t value) {
  PutLe32(buffer.data(), offset, value);
}

}  // namespace vm
