#include "tui/help_file.h"

#include <gtest/gtest.h>

namespace vm::tui {
namespace {

TEST(HelpFileTest, TopicsLinesAndCrossReferences) {
  const HelpFile help = ParseHelpText(
      "text before the first topic\r\n"
      ".topic 7 Seven\r\n"
      "; a comment\r\n"
      "See {the other|8} and {{braces}.\r\n"
      "\tTabbed {x|8}\n"
      "\n"
      "  \n"
      ".topic 8\n"
      "Back to {seven|7}, to {nowhere|99}, {broken|x} and {unclosed|7\n"
      ".topic 7 Again\n"
      "ignored\n"
      ".topics are not topics\n"
      ".topic -1 Negative\n");
  ASSERT_EQ(help.topics.size(), 2u);
  const HelpTopic& seven = help.topics.at(7);
  EXPECT_EQ(seven.title, "Seven");
  ASSERT_EQ(seven.lines.size(), 2u);  // the empty lines at the end are dropped
  EXPECT_EQ(seven.lines[0].text, "See the other and {braces}.");
  ASSERT_EQ(seven.lines[0].links.size(), 1u);
  EXPECT_EQ(seven.lines[0].links[0].column, 4u);
  EXPECT_EQ(seven.lines[0].links[0].length, 9u);
  EXPECT_EQ(seven.lines[0].links[0].target, 8);
  EXPECT_EQ(seven.lines[1].text, "        Tabbed x");
  EXPECT_EQ(seven.lines[1].links[0].column, 15u);

  const HelpTopic& eight = help.topics.at(8);
  EXPECT_EQ(eight.title, "");
  // The lines of the repeated topic 7 are dropped with it.
  ASSERT_EQ(eight.lines.size(), 1u);
  EXPECT_EQ(eight.lines[0].text, "Back to seven, to nowhere, {broken|x} and {unclosed|7");
  ASSERT_EQ(eight.lines[0].links.size(), 1u);  // the reference to a missing topic is text
  EXPECT_EQ(eight.lines[0].links[0].target, 7);

  EXPECT_EQ(help.problems, (std::vector<std::string>{
                               "line 9: malformed cross-reference",
                               "line 9: malformed cross-reference", "line 10: topic 7 given twice",
                               "line 13: bad topic number", "topic 8 refers to missing topic 99"}));
}

TEST(HelpFileTest, UtilityContextsShareOneTopic) {
  EXPECT_EQ(HelpTopicFor(0), 0);
  EXPECT_EQ(HelpTopicFor(11), 11);
  EXPECT_EQ(HelpTopicFor(50), 50);
  EXPECT_EQ(HelpTopicFor(51), 50);
  EXPECT_EQ(HelpTopicFor(99), 50);
  EXPECT_EQ(HelpTopicFor(100), 100);
}

}  // namespace
}  // namespace vm::tui
