// What an input line accepts: the characters that may be typed into it, and whether its whole
// text is acceptable when the dialog ends with OK.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vm::tui {

class InputValidator {
 public:
  virtual ~InputValidator() = default;
  virtual bool Accepts(unsigned char c) const = 0;
  // The message that refuses the text, nothing when it is acceptable.
  virtual std::optional<std::string> Check(std::string_view text) const { return std::nullopt; }
};

}  // namespace vm::tui
