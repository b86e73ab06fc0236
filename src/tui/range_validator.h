// A whole number from `low` to `high`: only digits can be typed, and a text outside the range
// (or empty) is refused with a message naming the range.
#pragma once

#include <cstdint>

#include "tui/input_validator.h"

namespace vm::tui {

class RangeValidator : public InputValidator {
 public:
  RangeValidator(int64_t low, int64_t high) : low_(low), high_(high) {}

  bool Accepts(unsigned char c) const override;
  std::optional<std::string> Check(std::string_view text) const override;

 private:
  int64_t low_;
  int64_t high_;
};

}  // namespace vm::tui
