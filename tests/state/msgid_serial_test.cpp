#include "state/msgid_serial.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "support/platform_temp_dir.h"

namespace vm {
namespace {

TEST(MsgIdSerialTest, SerialOfAMoment) {
  // ((2036 * 355 + 3 * 30 + 5) * 86400 + 9 * 3600 + 7 * 60 + 1) wraps in 32 bits, then << 7.
  const uint32_t seconds = 2036u * 355u * 86400u + 3u * 30u * 86400u + 5u * 86400u + 32821u;
  EXPECT_EQ(MsgIdSerialOf(DateTime{2026, 3, 5, 9, 7, 1}, 42), (seconds << 7) | 42u);
}

std::string Hex(uint32_t serial) {
  char text[16];
  std::snprintf(text, sizeof text, "%08x\n", serial);
  return text;
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

// A long posting takes its serials one past another without waiting for the clock, for up to
// a day's worth of serials; beyond that it waits, one clock step per serial.
TEST(MsgIdSerialTest, RunsAheadOfTheClockByUpToADay) {
  TestClock clock{5000};
  MsgIdSerialSource source;
  clock.Attach(source);
  EXPECT_EQ(source.Next(), 5000u);
  clock.now = 4990;  // the clock went back a little
  for (uint32_t i = 1; i <= 3000; ++i) ASSERT_EQ(source.Next(), 5000 + i);
  EXPECT_EQ(clock.pauses, 0);

  // A run after one that went nearly a day ahead goes on from it, and waits only for serials
  // beyond the day.
  ScopedTempDir dir;
  const std::string record = dir / "VELDMARK.MID";
  dir.WriteFile("VELDMARK.MID", Hex(5000 + MsgIdSerialSource::kMostAhead - 10));
  TestClock late{5000};
  MsgIdSerialSource next;
  next.KeepRecordIn(record);
  late.Attach(next);
  for (uint32_t i = 1; i <= 20; ++i) {
    ASSERT_EQ(next.Next(), 5000 + MsgIdSerialSource::kMostAhead - 10 + i);
    EXPECT_LE(5000 + MsgIdSerialSource::kMostAhead - 10 + i - late.now,
              MsgIdSerialSource::kMostAhead);
  }
  EXPECT_EQ(late.pauses, 10);

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
  // A later run starts past everything the two took, also what they took and did not use.
  MsgIdSerialSource third;
  third.KeepRecordIn(record);
  clock.Attach(third);
  const uint32_t after = third.Next();
  EXPECT_GT(after, *seen.rbegin());
  EXPECT_EQ(dir.ReadFile("VELDMARK.MID"), Hex(after + MsgIdSerialSource::kFirstBlock - 1));

  // A record far ahead of the clock (damaged, or left before the clock was set back more than
  // a day) is not followed, and neither is one that is no serial.
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
