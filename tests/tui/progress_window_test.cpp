// The progress window: a key press between steps asks for the abort, and the bar fills with
// the steps done.
#include "tui/progress_window.h"

#include <gtest/gtest.h>

#include "toolkit_fixture.h"

namespace vm::tui {
namespace {

using namespace test;

TEST_F(ToolkitTest, ProgressWindowTakesAKeyAsAnAbortRequest) {
  ProgressWindow progress(app, "Test", 4);
  progress.Step();
  EXPECT_FALSE(progress.AbortRequested());
  backend.PushKey(' ');
  progress.Step();
  EXPECT_TRUE(progress.AbortRequested());
  EXPECT_FALSE(progress.AbortRequested()) << "the request is taken once";
  progress.Step(2);
  const CellBuffer& s = backend.Screen();
  EXPECT_EQ(s.RowText(8, 15, 50), "\xC9" + std::string(15, '\xCD') + " Veldmark - Test " +
                                      std::string(16, '\xCD') + "\xBB");
  EXPECT_EQ(s.RowText(10, 15, 50), Cp866("║              Пожалуйста подождите              ║"));
  EXPECT_EQ(s.RowText(12, 18, 44), std::string(44, '\xDB')) << "all steps done: the bar is full";
}

}  // namespace
}  // namespace vm::tui
