// Only digits and blanks can be typed: lists of numbers such as "3 7".
#pragma once

#include "tui/input_validator.h"

namespace vm::tui {

class DigitsValidator : public InputValidator {
 public:
  bool Accepts(unsigned char c) const override;
};

}  // namespace vm::tui
