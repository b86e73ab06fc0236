// Serial numbers for the MSGID kludges of the program's own messages: taken from the local
// date and time to the hundredth of a second (128 serials a second), never the same twice for
// any run of this user on the machine, whatever its program directory, and never far ahead of
// the clock, so that runs elsewhere (another machine with the same address) meet them only
// when they post at the same moment.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/shared_record.h"
#include "text/dos_time.h"

namespace vm {

// The serial of a moment: ((year + 10) * 355 * 86400 + month * 30 * 86400 + day * 86400 +
// hours * 3600 + minutes * 60 + seconds) shifted left by 7 bits, or'ed with the hundredths
// (their low 7 bits), all in 32-bit arithmetic that wraps around.
uint32_t MsgIdSerialOf(const DateTime& now, int hundredths);

// The file in the program directory that keeps the last serial when the machine-wide record
// cannot be used.
inline constexpr const char* kMsgIdReservationFile = "VELDMARK.MID";

// Hands out serials that follow the clock without waiting for it: a serial the clock has
// already given out (here or in another run) becomes the last one plus 1, so a burst of
// messages runs ahead of the clock, by at most kMostAhead; a burst that would go further
// waits for the clock. The last serial handed out is kept in a record shared by every run of
// the machine (SharedRecord::OpenMachineWide), read and replaced under its lock for every
// serial. A record further ahead than a run could have left it (a clock set back, a damaged
// file) is not waited for.
class MsgIdSerialSource {
 public:
  static constexpr uint32_t kPerSecond = 128;
  static constexpr uint32_t kMostAhead = 5 * kPerSecond;

  MsgIdSerialSource();
  // Shares the serials through the machine-wide record, or through the file at
  // `fallbackPath` when there is none. Without either (tests) serials are unique within the
  // run only.
  void ShareMachineWide(std::string fallbackPath);
  // Shares them through this file alone.
  void KeepRecordIn(std::string path);
  // How far serials may run ahead of the clock (a benchmark that times writing, not waiting).
  void AllowAhead(uint32_t serials) { mostAhead_ = serials; }
  // The clock as a serial, and the pause while waiting for it to move on (for tests).
  void UseClock(std::function<uint32_t()> clock, std::function<void()> pause);

  // Eight lower-case hexadecimal digits.
  std::string MsgIdSerial();
  uint32_t Next();

 private:
  uint32_t Choose(std::string_view stored);
  bool OpenRecord();

  std::function<uint32_t()> clock_;
  std::function<void()> pause_;
  uint32_t mostAhead_ = kMostAhead;
  std::string recordPath_;
  bool machineWide_ = false;
  bool opened_ = false;
  std::unique_ptr<SharedRecord> record_;
  uint32_t last_ = 0;
  bool any_ = false;
};

}  // namespace vm
