// DELETEDECODED with messages that hold sections of more than one file: a message goes only
// once every file with a section in it was decoded cleanly, so that no file decoded later in
// the run, or in a later run, finds its section deleted.
#include <gtest/gtest.h>

#include "decode_node.h"

namespace vm::test {
namespace {

Lines Both(const Lines& one, const Lines& other) {
  Lines lines = one;
  lines.insert(lines.end(), other.begin(), other.end());
  return lines;
}

class SharedMessages : public ::testing::TestWithParam<BaseKind> {};

TEST_P(SharedMessages, AMessageGoesWhenTheLastFileInItIsDecoded) {
  DecodeNode node({"DELETEDECODED yes"}, ";", GetParam());
  const std::string a = TestBytes(900, 41), b = TestBytes(700, 42), c = TestBytes(1800, 43);
  const std::vector<Lines> cSections = UuSections(c, "c.bin", 20);  // two sections
  ASSERT_EQ(cSections.size(), 2u);
  // a and b share a message; the first section of c shares one with the first section of d,
  // whose other section never came.
  const int32_t ab = node.Write("rufiles", Poster{}, "a and b",
                                Both(UuSections(a, "a.bin", 20)[0], UuSections(b, "b.bin", 20)[0]));
  const int32_t cd =
      node.Write("rufiles", Poster{}, "c 1/2 and d 1/2",
                 Both(cSections[0], UuSections(TestBytes(1800, 44), "d.bin", 20)[0]));
  node.Write("rufiles", Poster{}, "c 2/2", cSections[1]);
  node.AgeMessages("rufiles");

  const ProgramRun run = node.Run({"/All"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(node.Read("FILES/A.BIN") == a);
  EXPECT_TRUE(node.Read("FILES/B.BIN") == b) << run.output;
  EXPECT_TRUE(node.Read("FILES/C.BIN") == c) << run.output;
  // Left: the message that d, still incomplete, needs.
  MessageBaseHandle base;
  ASSERT_TRUE(OpenMessageArea(node.AreaId("rufiles"), base));
  std::vector<int32_t> left;
  for (base->SeekFrom(1); base->Found(); base->SeekNext()) {
    base->LoadHeader();
    if (!base->IsDeleted()) left.push_back(base->MessageNumber());
  }
  CloseMessageArea(base);
  EXPECT_EQ(left, std::vector<int32_t>{cd});
  EXPECT_NE(ab, cd);
}

INSTANTIATE_TEST_SUITE_P(Bases, SharedMessages, ::testing::Values(kMsgBase, kSquishBase, kJamBase),
                         [](const auto& info) { return std::string(info.param.keyword); });

}  // namespace
}  // namespace vm::test
