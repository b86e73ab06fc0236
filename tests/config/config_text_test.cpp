// Configuration files read as lines: the DOS end of file, tabs, line ends and the line width.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/area_test_node.h"
#include "config/config_lines.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

class ConfigTextTest : public ::testing::Test {
 protected:
  AreaTestNode node;

  std::vector<std::string> Lines(const std::string& bytes) {
    ConfigText text;
    int error = -1;
    EXPECT_TRUE(ReadConfigText(node.Write("TEST.CFG", bytes), text, error));
    EXPECT_EQ(error, 0);
    return {text.lines.begin(), text.lines.end()};
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
  EXPECT_EQ(Lines("one\ntwo\n"), (std::vector<std::string>{"one", "two"}));
  EXPECT_TRUE(Lines("").empty());
  EXPECT_TRUE(Lines("\x1A\tno lines\n").empty());
  EXPECT_EQ(Lines("\r"), std::vector<std::string>{""});  // a CR ending the text ends its line
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
