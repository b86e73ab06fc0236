#include <gtest/gtest.h>

#include "config/key_codes.h"

namespace vm {
namespace {

TEST(KeyCodeFromName, FunctionKeysInTheFourShifts) {
  EXPECT_EQ(KeyCodeFromName("F1"), 0x3B00u);
  EXPECT_EQ(KeyCodeFromName("F5"), 0x3F00u);
  EXPECT_EQ(KeyCodeFromName("F7"), 0x4100u);
  EXPECT_EQ(KeyCodeFromName("SHIFTF1"), 0x5400u);
  EXPECT_EQ(KeyCodeFromName("CTRLF8"), 0x6500u);
  EXPECT_EQ(KeyCodeFromName("ALTF9"), 0x7000u);
  EXPECT_EQ(KeyCodeFromName("AF2"), 0x6900u);  // only the first and last characters count
}

TEST(KeyCodeFromName, AnythingElseIsNoKey) {
  EXPECT_EQ(KeyCodeFromName(""), 0u);
  EXPECT_EQ(KeyCodeFromName("X5"), 0u);
  EXPECT_EQ(KeyCodeFromName("5"), 0u);
  EXPECT_EQ(KeyCodeFromName("F10"), 0u);   // would land on F0, a key that does not exist
  EXPECT_EQ(KeyCodeFromName("CTRL"), 0u);  // would land far beyond the function keys
  EXPECT_EQ(KeyCodeFromName("F"), 0u);
}

}  // namespace
}  // namespace vm
