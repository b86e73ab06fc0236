// Serial numbers for the MSGID kludges of the program's own messages: taken from the local
// date and time to the hundredth of a second (128 serials a second), never the same twice for
// any run of this user on the machine, whatever its program directory, across restarts and
// crashes of the machine as well, and never more than a day ahead of the clock.
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
// waits for the clock. Serials are taken in blocks from a record shared by every run of the
// machine (SharedRecord::OpenMachineWide), which keeps the last serial of the last block taken:
// a run takes a block under the record's lock, the record flushed to the disk before any of
// the block's serials is used, and hands the block out before it takes the next. Blocks grow
// from kFirstBlock serials to kLargestBlock (cut to the lead left at the end of the day's),
// so a long posting asks the record and waits for the disk a few times only; what a run
// leaves of its last block is never used. A record further ahead than a run could have left
// it (a clock set back, a damaged file) is not waited for.
class MsgIdSerialSource {
 public:
  static constexpr uint32_t kPerSecond = 128;
  static constexpr uint32_t kMostAhead = 86400 * kPerSecond;
  static constexpr uint32_t kFirstBlock = 256;
  static constexpr uint32_t kLargestBlock = 65536;

  MsgIdSerialSource();
  // Shares the serials through the machine-wide record, or through the file at
  // `fallbackPath` when there is none. Without either (tests) serials are unique within the
  // run only.
  void ShareMachineWide(std::string fallbackPath);
  // Shares them through this file alone.
  void KeepRecordIn(std::string path);
  // The clock as a serial, and the pause while waiting for it to move on (for tests).
  void UseClock(std::function<uint32_t()> clock, std::function<void()> pause);

  // Eight lower-case hexadecimal digits.
  std::string MsgIdSerial();
  uint32_t Next();

 private:
  // The first serial of a block of `size` after the stored one and this run's last; the size
  // is cut to the lead left.
  uint32_t Choose(std::string_view stored, uint32_t& size);
  void TakeBlock();
  bool OpenRecord();

  std::function<uint32_t()> clock_;
  std::function<void()> pause_;
  std::string recordPath_;
  bool machineWide_ = false;
  bool opened_ = false;
  std::unique_ptr<SharedRecord> record_;
  uint32_t blockEnd_ = 0;  // the last serial of this run's last block
  bool any_ = false;       // a block was taken
  uint32_t blockSize_ = 0;
  uint32_t next_ = 0;  // the next serial of the block
  uint32_t left_ = 0;  // serials of the block not handed out
};

}  // namespace vm
