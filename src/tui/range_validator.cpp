#include "tui/range_validator.h"

#include "text/cp866.h"

namespace vm::tui {
namespace {

// Enough digits for any range the dialogs use; more would overflow the number.
constexpr size_t kMostDigits = 18;

}  // namespace

bool RangeValidator::Accepts(unsigned char c) const { return c >= '0' && c <= '9'; }

std::optional<std::string> RangeValidator::Check(std::string_view text) const {
  int64_t value = 0;
  bool number = !text.empty() && text.size() <= kMostDigits;
  for (unsigned char c : text) {
    if (c < '0' || c > '9') number = false;
    if (number) value = value * 10 + (c - '0');
  }
  if (number && value >= low_ && value <= high_) return std::nullopt;
  return Cp866("Значение должно быть числом от ") + std::to_string(low_) + Cp866(" до ") +
         std::to_string(high_);
}

}  // namespace vm::tui
