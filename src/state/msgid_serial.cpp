#include "state/msgid_serial.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

namespace vm {
namespace {

constexpr uint32_t kSecondsPerDay = 86400;
constexpr const char* kMachineWideName = "veldmark-msgid";
// A gap between a serial and the clock that waiting may close: beyond it the clock was set
// back (or the record is damaged), and a wait could last hours.
constexpr int64_t kLongestWait = 10 * MsgIdSerialSource::kPerSecond;

// The local time with its hundredths of a second.
DateTime LocalNowWithHundredths(int& hundredths) {
  const auto now = std::chrono::system_clock::now();
  const auto sinceEpoch = now.time_since_epoch();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  hundredths = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count() % 1000 / 10);
  std::tm local{};
  localtime_r(&seconds, &local);
  return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                  local.tm_hour,        local.tm_min,     local.tm_sec};
}

uint32_t ClockSerial() {
  int hundredths = 0;
  const DateTime now = LocalNowWithHundredths(hundredths);
  return MsgIdSerialOf(now, hundredths);
}

// Serials wrap around in 32 bits: how far a lies ahead of b (negative when behind).
int64_t Ahead(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b); }

std::string Hex8(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "%08x", v);
  return text;
}

// The serial a record holds: eight hexadecimal digits.
bool ParseRecord(std::string_view text, uint32_t& serial) {
  if (text.size() < 8) return false;
  uint32_t value = 0;
  for (size_t i = 0; i < 8; ++i) {
    const char c = text[i];
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) return false;
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  serial = value;
  return true;
}

}  // namespace

uint32_t MsgIdSerialOf(const DateTime& now, int hundredths) {
  uint32_t v = static_cast<uint32_t>(now.year + 10) * 355u * kSecondsPerDay +
               static_cast<uint32_t>(now.month) * 30u * kSecondsPerDay +
               static_cast<uint32_t>(now.day) * kSecondsPerDay +
               static_cast<uint32_t>(now.hour) * 3600u + static_cast<uint32_t>(now.minute) * 60u +
               static_cast<uint32_t>(now.second);
  return (v << 7) | (static_cast<uint32_t>(hundredths) & 127u);
}

MsgIdSerialSource::MsgIdSerialSource()
    : clock_(ClockSerial),
      pause_([] { std::this_thread::sleep_for(std::chrono::milliseconds(10)); }) {}

void MsgIdSerialSource::ShareMachineWide(std::string fallbackPath) {
  recordPath_ = std::move(fallbackPath);
  machineWide_ = true;
  opened_ = false;
}

void MsgIdSerialSource::KeepRecordIn(std::string path) {
  recordPath_ = std::move(path);
  machineWide_ = false;
  opened_ = false;
}

void MsgIdSerialSource::UseClock(std::function<uint32_t()> clock, std::function<void()> pause) {
  clock_ = std::move(clock);
  pause_ = std::move(pause);
}

bool MsgIdSerialSource::OpenRecord() {
  // Opened at the first serial: most runs post nothing.
  if (!opened_) {
    opened_ = true;
    record_ = std::make_unique<SharedRecord>();
    const bool open = (machineWide_ && record_->OpenMachineWide(kMachineWideName)) ||
                      (!recordPath_.empty() && record_->Open(recordPath_));
    if (!open) record_.reset();
  }
  return record_ != nullptr;
}

uint32_t MsgIdSerialSource::Choose(std::string_view stored, uint32_t& size) {
  uint32_t clock = clock_();
  uint32_t v = clock;
  if (any_ && Ahead(v, blockEnd_) <= 0) v = blockEnd_ + 1;
  uint32_t other = 0;
  // A record further ahead than any run leaves it is not one to follow.
  if (ParseRecord(stored, other) && Ahead(other, clock) <= kMostAhead + kLongestWait &&
      Ahead(v, other) <= 0)
    v = other + 1;
  // Past the day's lead a serial waits for the clock (a gap too large for waiting is a clock
  // set back, not waited for), and a block is cut to the lead that is left.
  for (int64_t ahead = Ahead(v, clock); ahead > kMostAhead && ahead <= kMostAhead + kLongestWait;
       ahead = Ahead(v, clock)) {
    pause_();
    clock = clock_();
  }
  const int64_t room = int64_t{kMostAhead} - Ahead(v, clock) + 1;
  if (room >= 1 && room < size) size = static_cast<uint32_t>(room);
  return v;
}

void MsgIdSerialSource::TakeBlock() {
  uint32_t size = any_ ? std::min(kLargestBlock, blockSize_ * 2) : kFirstBlock;
  uint32_t first = 0;
  const bool shared = OpenRecord() && record_->Update([&](std::string_view stored) {
    first = Choose(stored, size);
    return Hex8(first + size - 1) + "\n";
  });
  if (!shared) first = Choose({}, size);
  blockSize_ = size;
  blockEnd_ = first + size - 1;
  any_ = true;
  next_ = first;
  left_ = size;
}

uint32_t MsgIdSerialSource::Next() {
  if (left_ == 0) TakeBlock();
  --left_;
  return next_++;
}

std::string MsgIdSerialSource::MsgIdSerial() { return Hex8(Next()); }

}  // namespace vm
