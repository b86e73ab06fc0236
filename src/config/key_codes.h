// Key names of the external utilities' menu: F1-F9 in the four shifts.
#pragma once

#include <cstdint>
#include <string_view>

namespace vm {

// "F5" gives 0x3F00, "CTRLF8" 0x6500, "SHIFTF1" 0x5400, "ALTF9" 0x7000: the first letter
// chooses the shift (S, C, A or a plain F), the last character the function key 1 to 9.
// Any other name gives 0 (no key).
uint32_t KeyCodeFromName(std::string_view name);

}  // namespace vm
