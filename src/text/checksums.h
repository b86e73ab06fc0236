// CRC-32 and the BSD "sum -r" checksum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vm {

// One step of the reflected CRC-32 (IEEE 802.3) without initial or final inversion.
uint32_t Crc32Update(uint32_t crc, const void* data, size_t size);
uint32_t Crc32Byte(uint32_t crc, unsigned char byte);

// CRC-32 of the text with ASCII letters upper-cased, started at FFFFFFFF, not inverted at the
// end, taken as a signed number.
int32_t StrCrc32(std::string_view text);

// The BSD checksum of "sum -r": rotate the 16-bit value right by one bit, then add the byte.
// The checksum is a chain of these steps over every byte of a posting, so the rotation matters:
// on x86 compilers write the one-bit rotation in its short form, which takes two micro-
// operations. A rotation by 17 is the same rotation of a 16-bit value (the count is taken to
// five bits, and a rotation by 16 changes nothing) in the one-operation form, with which two
// chains run side by side at full speed.
inline uint16_t BsdSumAdd(uint16_t sum, unsigned char byte) {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
  asm("rorw $17, %0" : "+r"(sum) : : "cc");
#else
  sum = static_cast<uint16_t>((sum >> 1) | ((sum & 1u) << 15));
#endif
  return static_cast<uint16_t>(sum + byte);
}
uint16_t BsdSumAdd(uint16_t sum, const void* data, size_t size);

}  // namespace vm
