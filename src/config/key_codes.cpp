#include "config/key_codes.h"

namespace vm {
namespace {

constexpr uint32_t kShiftBase = 0x5400;
constexpr uint32_t kCtrlBase = 0x5E00;
constexpr uint32_t kAltBase = 0x6800;
constexpr uint32_t kPlainBase = 0x3B00;  // F1
constexpr uint32_t kKeyStep = 0x100;     // from one function key to the next

}  // namespace

uint32_t KeyCodeFromName(std::string_view name) {
  if (name.empty()) return 0;
  uint32_t base = 0;
  switch (name.front()) {
    case 'S':
    case 's': base = kShiftBase; break;
    case 'C':
    case 'c': base = kCtrlBase; break;
    case 'A':
    case 'a': base = kAltBase; break;
    case 'F':
    case 'f': base = kPlainBase; break;
    default: return 0;
  }
  // Only F1 to F9 exist in each shift; "F10" or "CTRL" would land on unrelated keys.
  char last = name.back();
  if (last < '1' || last > '9') return 0;
  return base + static_cast<uint32_t>(last - '1') * kKeyStep;
}

}  // namespace vm
