// The CRC that JAM keeps of names and MSGID/REPLY values.
#pragma once

#include <cstdint>
#include <string_view>

namespace vm::jam {

// CRC-32 (reflected polynomial 0xEDB88320, started at 0xFFFFFFFF, not inverted at the end)
// of the text with only the letters A-Z lower-cased. The empty text gives 0xFFFFFFFF, which
// is also what a header holds for an absent MSGID or REPLY.
uint32_t JamCrc(std::string_view text);

inline constexpr uint32_t kNoCrc = 0xFFFFFFFF;

}  // namespace vm::jam
