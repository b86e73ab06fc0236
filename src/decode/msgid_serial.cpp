#include "decode/msgid_serial.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "platform/host.h"

namespace vm {
namespace {

constexpr uint32_t kSecondsPerDay = 86400;

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

}  // namespace

uint32_t MsgIdSerialOf(const DateTime& now, int hundredths) {
  uint32_t v = static_cast<uint32_t>(now.year + 10) * 355u * kSecondsPerDay +
               static_cast<uint32_t>(now.month) * 30u * kSecondsPerDay +
               static_cast<uint32_t>(now.day) * kSecondsPerDay +
               static_cast<uint32_t>(now.hour) * 3600u + static_cast<uint32_t>(now.minute) * 60u +
               static_cast<uint32_t>(now.second);
  return (v << 7) | (static_cast<uint32_t>(hundredths) & 127u);
}

std::string MsgIdSerialSource::MsgIdSerial() {
  uint32_t v = 0;
  for (;;) {
    int hundredths = 0;
    const DateTime now = LocalNowWithHundredths(hundredths);
    v = MsgIdSerialOf(now, hundredths);
    if (!any_ || v != last_) break;
    SleepMilliseconds(1);
  }
  last_ = v;
  any_ = true;
  char text[16];
  std::snprintf(text, sizeof text, "%08x", v);
  return text;
}

}  // namespace vm
