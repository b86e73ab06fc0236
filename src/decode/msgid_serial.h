// Serial numbers for the MSGID kludges of the program's own messages: taken from the local
// date and time to the hundredth of a second, never the same twice in one run.
#pragma once

#include <cstdint>
#include <string>

#include "text/dos_time.h"

namespace vm {

// The serial of a moment: ((year + 10) * 355 * 86400 + month * 30 * 86400 + day * 86400 +
// hours * 3600 + minutes * 60 + seconds) shifted left by 7 bits, or'ed with the hundredths
// (their low 7 bits), all in 32-bit arithmetic that wraps around.
uint32_t MsgIdSerialOf(const DateTime& now, int hundredths);

class MsgIdSerialSource {
 public:
  // Eight lower-case hexadecimal digits; reads the clock again while it would repeat the last.
  std::string MsgIdSerial();

 private:
  uint32_t last_ = 0;
  bool any_ = false;
};

}  // namespace vm
