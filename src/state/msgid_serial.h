// Serial numbers for the MSGID kludges of the program's own messages: taken from the local
// date and time to the hundredth of a second, never the same twice, in one run or the next.
#pragma once

#include <cstdint>
#include <string>

#include "text/dos_time.h"

namespace vm {

// The serial of a moment: ((year + 10) * 355 * 86400 + month * 30 * 86400 + day * 86400 +
// hours * 3600 + minutes * 60 + seconds) shifted left by 7 bits, or'ed with the hundredths
// (their low 7 bits), all in 32-bit arithmetic that wraps around.
uint32_t MsgIdSerialOf(const DateTime& now, int hundredths);

// Hands out serials that follow the clock but never wait for it: a serial the clock has
// already given out becomes the last one plus 1, so a fast posting runs ahead of the clock.
// So that the next run does not hand the same numbers out again, the source reserves serials
// in blocks and writes the end of its block into a file before it uses it (one write per
// 1024 serials); a run starts above the end stored there. A kill wastes the rest of a block.
// The reservation file in the program directory.
inline constexpr const char* kMsgIdReservationFile = "VELDMARK.MID";

class MsgIdSerialSource {
 public:
  static constexpr uint32_t kBlock = 1024;

  // The reservation file; without one (tests) serials are unique within the run only.
  void KeepReservationIn(std::string path) { reservationFile_ = std::move(path); }

  // Eight lower-case hexadecimal digits.
  std::string MsgIdSerial();
  // The serial itself, from the given clock reading (for tests).
  uint32_t Next(uint32_t clockSerial);

 private:
  void Reserve(uint32_t from);

  std::string reservationFile_;
  uint32_t last_ = 0;
  uint32_t reservedEnd_ = 0;  // serials below it (since the last reservation) are ours
  bool any_ = false;
};

}  // namespace vm
