#include "state/msgid_serial.h"

#include <gtest/gtest.h>

#include <set>

#include "support/platform_temp_dir.h"

namespace vm {
namespace {

TEST(MsgIdSerialTest, SerialOfAMoment) {
  // ((2036 * 355 + 3 * 30 + 5) * 86400 + 9 * 3600 + 7 * 60 + 1) wraps in 32 bits, then << 7.
  const uint32_t seconds = 2036u * 355u * 86400u + 3u * 30u * 86400u + 5u * 86400u + 32821u;
  EXPECT_EQ(MsgIdSerialOf(DateTime{2026, 3, 5, 9, 7, 1}, 42), (seconds << 7) | 42u);
}

// A clock that stands still until a source waits for it; each pause moves it on by one.
struct TestClock {
  uint32_t now = 1000;
  int pauses = 0;
  void Attach(MsgIdSerialSource& source) {
    source.UseClock([this] { return now; },
                    [this] {
                      ++pauses;
                      ++now;
                    });
  }
};

TEST(MsgIdSerialTest, RunsAheadOfTheClockOnlySoFar) {
  TestClock clock;
  MsgIdSerialSource source;
  clock.Attach(source);
  EXPECT_EQ(source.Next(), 1000u);
  EXPECT_EQ(source.Next(), 1001u);  // same hundredth: one past the last
  clock.now = 990;                  // the clock went back a little
  EXPECT_EQ(source.Next(), 1002u);
  clock.now = 5000;
  EXPECT_EQ(source.Next(), 5000u);
  // A burst: no waiting until the serials are kMostAhead ahead, then one pause per serial.
  for (uint32_t i = 1; i <= MsgIdSerialSource::kMostAhead; ++i) EXPECT_EQ(source.Next(), 5000 + i);
  EXPECT_EQ(clock.pauses, 0);
  EXPECT_EQ(source.Next(), 5001 + MsgIdSerialSource::kMostAhead);
  EXPECT_EQ(clock.pauses, 1);
  // A clock set back by an hour is not waited for: the serials go on from the last.
  clock.now -= 3600 * MsgIdSerialSource::kPerSecond;
  EXPECT_EQ(source.Next(), 5002 + MsgIdSerialSource::kMostAhead);
  EXPECT_EQ(clock.pauses, 1);
  // Across the 32-bit wrap-around.
  TestClock wrap{0xFFFFFFFFu};
  MsgIdSerialSource wrapping;
  wrap.Attach(wrapping);
  EXPECT_EQ(wrapping.Next(), 0xFFFFFFFFu);
  EXPECT_EQ(wrapping.Next(), 0u);
}

// Two runs with one record (two program directories on one machine) never hand out the same
// serial, however their messages interleave; a later run starts past both.
TEST(MsgIdSerialTest, RunsSharingTheRecordNeverRepeatASerial) {
  ScopedTempDir dir;
  const std::string record = dir / "VELDMARK.MID";
  TestClock clock;
  MsgIdSerialSource first, second;
  for (MsgIdSerialSource* source : {&first, &second}) {
    source->KeepRecordIn(record);
    clock.Attach(*source);
  }
  std::set<uint32_t> seen;
  for (int i = 0; i < 300; ++i) {
    EXPECT_TRUE(seen.insert(first.Next()).second) << i;
    if (i % 3 != 0) {
      EXPECT_TRUE(seen.insert(second.Next()).second) << i;
    }
  }
  MsgIdSerialSource third;
  third.KeepRecordIn(record);
  clock.Attach(third);
  EXPECT_EQ(third.Next(), *seen.rbegin() + 1);

  // A record far ahead of the clock (damaged, or left before the clock was set back) is not
  // followed, and neither is one that is no serial.
  for (const char* text : {"7fffffff\n", "not a number"}) {
    dir.WriteFile("VELDMARK.MID", text);
    MsgIdSerialSource fresh;
    fresh.KeepRecordIn(record);
    TestClock later{5000000};
    later.Attach(fresh);
    EXPECT_EQ(fresh.Next(), 5000000u) << text;
    EXPECT_EQ(later.pauses, 0) << text;
  }
}

}  // namespace
}  // namespace vm
