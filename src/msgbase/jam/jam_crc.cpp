#include "msgbase/jam/jam_crc.h"

#include "text/checksums.h"

namespace vm::jam {

uint32_t JamCrc(std::string_view text) {
  uint32_t crc = kNoCrc;
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    // Only ASCII letters fold: other programs compute the same value whatever the code page.
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + 32);
    crc = Crc32Byte(crc, c);
  }
  return crc;
}

}  // namespace vm::jam
