#include "state/msgid_serial.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/file.h"

namespace vm {
namespace {

constexpr uint32_t kSecondsPerDay = 86400;
// A reservation file is one line of eight hexadecimal digits.
constexpr size_t kReservationFileLimit = 64;

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

// Serials wrap around in 32 bits: a is later than b when it lies less than half the range
// ahead of it.
bool Later(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) > 0; }

std::string Hex8(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "%08x", v);
  return text;
}

// The block end a previous run stored; nothing when there is no readable one.
bool StoredReservation(const std::string& path, uint32_t& end) {
  std::string text;
  int error = 0;
  if (!ReadWholeFile(path, kReservationFileLimit, text, error)) return false;
  char* stop = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &stop, 16);
  if (stop == text.c_str()) return false;
  end = static_cast<uint32_t>(value);
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

void MsgIdSerialSource::Reserve(uint32_t from) {
  reservedEnd_ = from + kBlock;
  // A reservation that cannot be stored still keeps this run's serials apart.
  if (!reservationFile_.empty()) WriteFileAtomically(reservationFile_, Hex8(reservedEnd_) + "\n");
}

uint32_t MsgIdSerialSource::Next(uint32_t clockSerial) {
  uint32_t v = clockSerial;
  if (any_ && !Later(v, last_)) v = last_ + 1;
  if (!any_ || !Later(reservedEnd_, v)) {
    // The file is read again for every block, in case another run reserved meanwhile.
    uint32_t stored = 0;
    if (!reservationFile_.empty() && StoredReservation(reservationFile_, stored) &&
        Later(stored, v))
      v = stored;
    Reserve(v);
  }
  last_ = v;
  any_ = true;
  return v;
}

std::string MsgIdSerialSource::MsgIdSerial() {
  int hundredths = 0;
  const DateTime now = LocalNowWithHundredths(hundredths);
  return Hex8(Next(MsgIdSerialOf(now, hundredths)));
}

}  // namespace vm
