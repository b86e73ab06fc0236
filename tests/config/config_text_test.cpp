// Configuration files read as lines: the DOS end of file, tabs, line ends and the line width,
// applied in one pass.
#include <gtest/gtest.h>

#include <random>

#include "config/area_test_node.h"
#include "config/config_lines.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

// The rules one after the other, each over the whole text.
struct Reference {
  std::string contents;
  std::vector<std::string> lines;
};
Reference ReadStepByStep(std::string contents) {
  if (size_t eof = contents.find('\x1A'); eof != std::string::npos) contents.resize(eof);
  for (char& c : contents)
    if (c == '\t') c = ' ';
  Reference result{contents, {}};
  size_t start = 0;
  while (start < contents.size()) {
    size_t end = contents.find('\n', start);
    if (end == std::string::npos) end = contents.size();
    std::string line = contents.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    result.lines.push_back(line.substr(0, kMaxText));
    start = end + 1;
  }
  return result;
}

class ConfigTextTest : public ::testing::Test {
 protected:
  AreaTestNode node;

  void ExpectAsReference(const std::string& bytes) {
    ConfigText text;
    int error = -1;
    ASSERT_TRUE(ReadConfigText(node.Write("TEST.CFG", bytes), text, error));
    EXPECT_EQ(error, 0);
    Reference expected = ReadStepByStep(bytes);
    EXPECT_EQ(text.contents, expected.contents);
    EXPECT_EQ(std::vector<std::string>(text.lines.begin(), text.lines.end()), expected.lines);
  }
};

TEST_F(ConfigTextTest, TheRules) {
  ConfigText text;
  int error = 0;
  std::string bytes = "A\tB\r\n\r\n;x\rY\n" + std::string(300, 'L') + "\nlast\r\x1A" + "after\n";
  ASSERT_TRUE(ReadConfigText(node.Write("A.CFG", bytes), text, error));
  ASSERT_EQ(text.lines.size(), 5u);
  EXPECT_EQ(text.lines[0], "A B");
  EXPECT_EQ(text.lines[1], "");
  EXPECT_EQ(text.lines[2], ";x\rY");  // only a CR right before the LF goes
  EXPECT_EQ(text.lines[3], std::string(kMaxText, 'L'));
  EXPECT_EQ(text.lines[4], "last");
  EXPECT_EQ(text.contents.size(), bytes.find('\x1A'));

  // Nothing after the last LF: no empty line at the end; an empty file has no lines.
  ExpectAsReference("one\ntwo\n");
  ExpectAsReference("");
  ExpectAsReference("\x1A\tno lines\n");
  ExpectAsReference("\r");
}

// Texts of every length around the sixteen-byte steps of the scan, with the rule bytes at
// every position.
TEST_F(ConfigTextTest, RandomTextsReadAsTheRulesOneByOne) {
  std::mt19937 random(866);
  const std::string kBytes = "ab \t\r\n\x1A;";
  const unsigned kWeights[] = {30, 30, 8, 3, 3, 4, 1, 1};
  std::discrete_distribution<int> pick(std::begin(kWeights), std::end(kWeights));
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    size_t length = round < 100 ? static_cast<size_t>(round) : random() % 900;
    for (size_t i = 0; i < length; ++i) bytes += kBytes[static_cast<size_t>(pick(random))];
    if (round % 7 == 0) bytes.insert(random() % (bytes.size() + 1), std::string(270, 'w'));
    SCOPED_TRACE(round);
    ExpectAsReference(bytes);
  }
}

TEST_F(ConfigTextTest, AMissingFileGivesTheSystemError) {
  ConfigText text;
  int error = 0;
  EXPECT_FALSE(ReadConfigText(node.Path("NONE.CFG"), text, error));
  EXPECT_EQ(error, ENOENT);
  EXPECT_TRUE(text.lines.empty());
}

}  // namespace
}  // namespace vm
