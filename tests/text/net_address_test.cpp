#include "text/net_address.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

const NetAddress kOwn{2, 5020, 1234, 0};

NetAddress Parsed(const char* text, const NetAddress& defaults = kOwn) {
  auto address = ParseNetAddress(text, defaults);
  EXPECT_TRUE(address.has_value()) << text;
  return address.value_or(NetAddress{});
}

TEST(NetAddress, FullAndShortenedForms) {
  EXPECT_EQ(Parsed("1:2/3.4"), (NetAddress{1, 2, 3, 4}));
  EXPECT_EQ(Parsed("1:2/3"), (NetAddress{1, 2, 3, 0}));
  EXPECT_EQ(Parsed("6078/5"), (NetAddress{2, 6078, 5, 0}));  // zone from the default
  EXPECT_EQ(Parsed("99"), (NetAddress{2, 5020, 99, 0}));     // zone and net from the default
  EXPECT_EQ(Parsed("99.7"), (NetAddress{2, 5020, 99, 7}));
  EXPECT_EQ(Parsed(".7"), (NetAddress{2, 5020, 1234, 7}));  // a point of the default node
  EXPECT_EQ(Parsed("2:5020/1234.0"), (NetAddress{2, 5020, 1234, 0}));
  // The default's point is never taken over.
  EXPECT_EQ(Parsed("5", NetAddress{1, 2, 3, 9}), (NetAddress{1, 2, 5, 0}));
}

TEST(NetAddress, DomainsAndBlanksAroundAreAllowed) {
  EXPECT_EQ(Parsed("2:5020/9999.1@fidonet"), (NetAddress{2, 5020, 9999, 1}));
  EXPECT_EQ(Parsed("  2:5020/9999\r\n"), (NetAddress{2, 5020, 9999, 0}));
  EXPECT_EQ(Parsed("65535:65535/65535.65535"), (NetAddress{65535, 65535, 65535, 65535}));
}

TEST(NetAddress, TheEmptyAddress) {
  NetAddress empty = Parsed("0:0/0");
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_EQ(FormatNetAddress(empty), "0:0/0");
  EXPECT_FALSE(NetAddress({0, 0, 0, 1}).IsEmpty());
  // Origin lines are parsed with an empty default: omitted parts stay 0.
  EXPECT_EQ(Parsed("123/45", NetAddress{}), (NetAddress{0, 123, 45, 0}));
}

TEST(NetAddress, RejectsWhatIsNoAddress) {
  for (const char* bad : {"", "   ", "@fidonet", "2:5020", "2:5020/", "2:/1", ":5020/1",
                          "2:5020/1.", "2:5020/1.2.3", "2:5020/1x", "2 :5020/1", "-2:5020/1",
                          "65536:1/1", "1:1/99999999999999999999", "abc", "2:5020/1 2", "/1"})
    EXPECT_FALSE(ParseNetAddress(bad, kOwn).has_value()) << '"' << bad << '"';
}

TEST(NetAddress, Format) {
  EXPECT_EQ(FormatNetAddress({2, 5020, 1234, 0}), "2:5020/1234");
  EXPECT_EQ(FormatNetAddress({2, 5020, 1234, 56}), "2:5020/1234.56");
  EXPECT_EQ(FormatNetAddress3D({2, 5020, 1234, 56}), "2:5020/1234");
  NetAddress a{1, 2, 3, 4};
  EXPECT_EQ(Parsed(FormatNetAddress(a).c_str()), a);
}

}  // namespace
}  // namespace vm
