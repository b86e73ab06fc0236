// The help file the program ships: every help context of the shell and of the toolkit's own
// windows has its topic, every reference leads somewhere, and every line fits a help window on
// an 80-column screen.
#include <gtest/gtest.h>

#include "shell/help_contexts.h"
#include "tui/help_file.h"
#include "tui/view.h"

namespace vm::shell {
namespace {

TEST(ShippedHelp, EveryContextHasItsTopic) {
  tui::HelpFile help;
  ASSERT_TRUE(tui::LoadHelpFile(VELDMARK_SOURCE_DIR "/examples/node/veldmark.hlp", help));
  EXPECT_TRUE(help.problems.empty()) << help.problems.front();
  std::vector<int> contexts(std::begin(hc::kAll), std::end(hc::kAll));
  contexts.insert(contexts.end(), {tui::hc::kInput, tui::hc::kMessageBox, tui::hc::kHelpWindow});
  for (int context : contexts)
    EXPECT_TRUE(help.topics.count(tui::HelpTopicFor(context))) << context;
  for (const auto& [number, topic] : help.topics) {
    EXPECT_FALSE(topic.title.empty()) << number;
    for (const tui::HelpLine& line : topic.lines) EXPECT_LE(line.text.size(), 76u) << line.text;
  }
}

}  // namespace
}  // namespace vm::shell
