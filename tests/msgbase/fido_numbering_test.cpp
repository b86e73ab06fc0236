// The numbering set of *.MSG directories: stepping through numbers that sit at the edges of
// the set's words, and the limits 1 and 31999.
#include <gtest/gtest.h>

#include <vector>

#include "msgbase/fido/msg_numbering.h"

namespace vm {
namespace {

std::vector<int32_t> Forwards(const MsgNumbering& set) {
  std::vector<int32_t> seen;
  for (int32_t n = set.NextAfter(0); n != 0; n = set.NextAfter(n)) seen.push_back(n);
  return seen;
}

std::vector<int32_t> Backwards(const MsgNumbering& set) {
  std::vector<int32_t> seen;
  for (int32_t n = set.PreviousBefore(40000); n != 0; n = set.PreviousBefore(n)) seen.push_back(n);
  return seen;
}

TEST(FidoNumbering, StepsOverEveryNumberOnWordEdgesBothWays) {
  MsgNumbering set;
  EXPECT_EQ(set.NextAfter(0), 0);
  EXPECT_EQ(set.Highest(), 0);
  const std::vector<int32_t> numbers = {1, 63, 64, 127, 128, 4096, 31935, 31999};
  for (int32_t n : numbers) set.Add(n, std::to_string(n) + ".msg");
  set.Add(0, "0.msg");  // not message numbers
  set.Add(32000, "32000.msg");
  set.Add(-5, "x.msg");
  EXPECT_EQ(Forwards(set), numbers);
  EXPECT_EQ(Backwards(set), std::vector<int32_t>(numbers.rbegin(), numbers.rend()));
  EXPECT_EQ(set.Count(), 8);
  EXPECT_EQ(set.Highest(), 31999);
  EXPECT_EQ(set.NextAfter(-3), 1);
  EXPECT_EQ(set.NextAfter(31999), 0);
  EXPECT_EQ(set.NextAfter(64), 127);
  EXPECT_EQ(set.PreviousBefore(64), 63);
  EXPECT_EQ(set.PreviousBefore(1), 0);

  set.Remove(64);
  set.Remove(31999);
  set.Remove(31999);  // twice: nothing more happens
  set.Remove(500);    // never there
  EXPECT_EQ(set.Count(), 6);
  EXPECT_EQ(set.NextAfter(63), 127);
  EXPECT_EQ(set.PreviousBefore(127), 63);
  EXPECT_EQ(set.Highest(), 31935);
  EXPECT_FALSE(set.Has(64));
  EXPECT_EQ(set.NameOf(64), nullptr);
  ASSERT_NE(set.NameOf(4096), nullptr);
  EXPECT_EQ(*set.NameOf(4096), "4096.msg");
}

}  // namespace
}  // namespace vm
