#include "state/msgid_serial.h"

#include <gtest/gtest.h>

#include "support/platform_temp_dir.h"

namespace vm {
namespace {

TEST(MsgIdSerialTest, SerialOfAMoment) {
  // ((2036 * 355 + 3 * 30 + 5) * 86400 + 9 * 3600 + 7 * 60 + 1) wraps in 32 bits, then << 7.
  const uint32_t seconds = 2036u * 355u * 86400u + 3u * 30u * 86400u + 5u * 86400u + 32821u;
  EXPECT_EQ(MsgIdSerialOf(DateTime{2026, 3, 5, 9, 7, 1}, 42), (seconds << 7) | 42u);
}

TEST(MsgIdSerialTest, FollowsTheClockButNeverRepeatsOrWaits) {
  MsgIdSerialSource source;
  EXPECT_EQ(source.Next(1000), 1000u);
  EXPECT_EQ(source.Next(1000), 1001u);  // same hundredth: one past the last
  EXPECT_EQ(source.Next(990), 1002u);   // the clock went back
  EXPECT_EQ(source.Next(5000), 5000u);  // the clock is ahead again
  // Across the 32-bit wrap-around.
  MsgIdSerialSource wrapping;
  EXPECT_EQ(wrapping.Next(0xFFFFFFFFu), 0xFFFFFFFFu);
  EXPECT_EQ(wrapping.Next(0xFFFFFFFFu), 0u);
  EXPECT_EQ(wrapping.Next(0xFFFFFFF0u), 1u);
}

TEST(MsgIdSerialTest, TheNextRunStartsAboveWhatThisOneReserved) {
  ScopedTempDir dir;
  const std::string file = dir / "VELDMARK.MID";
  {
    MsgIdSerialSource first;
    first.KeepReservationIn(file);
    for (uint32_t i = 0; i < MsgIdSerialSource::kBlock + 5; ++i) first.Next(100);
    EXPECT_EQ(first.Next(100), 100u + MsgIdSerialSource::kBlock + 5);
  }
  // The run was killed after the second block had been reserved: the next run's clock is
  // behind what the first handed out, yet it starts above the whole reservation.
  MsgIdSerialSource second;
  second.KeepReservationIn(file);
  EXPECT_EQ(second.Next(200), 100u + 2 * MsgIdSerialSource::kBlock);
  // A clock beyond the stored reservation wins.
  MsgIdSerialSource third;
  third.KeepReservationIn(file);
  EXPECT_EQ(third.Next(0x10000000u), 0x10000000u);

  // A damaged or unreadable file is no reason to stop: the clock decides.
  dir.WriteFile("VELDMARK.MID", "not a number");
  MsgIdSerialSource fourth;
  fourth.KeepReservationIn(file);
  EXPECT_EQ(fourth.Next(300), 300u);
}

}  // namespace
}  // namespace vm
