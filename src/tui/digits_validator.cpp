#include "tui/digits_validator.h"

namespace vm::tui {

bool DigitsValidator::Accepts(unsigned char c) const { return (c >= '0' && c <= '9') || c == ' '; }

}  // namespace vm::tui
