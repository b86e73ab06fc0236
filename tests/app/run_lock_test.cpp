#include "app/run_lock.h"

#include <gtest/gtest.h>

#include "support/fake_console.h"
#include "support/platform_temp_dir.h"

namespace vm {
namespace {

TEST(RunLock, OneRunPerProgramDirectoryAndTheWaitEnds) {
  ScopedTempDir dir;
  const std::string programDir = dir.path() + "/";
  FakeConsole console;
  RunLock first;
  ASSERT_EQ(first.Acquire(programDir, console), RunLock::Result::Taken);
  EXPECT_TRUE(console.output.empty());

  RunLock second;
  EXPECT_EQ(second.Acquire(programDir, console, 3), RunLock::Result::Busy);
  EXPECT_NE(console.output.find("Veldmark"), std::string::npos) << "the wait is announced";

  RunLock elsewhere;
  ScopedTempDir other;
  EXPECT_EQ(elsewhere.Acquire(other.path() + "/", console, 1), RunLock::Result::Taken);
  RunLock nowhere;
  EXPECT_EQ(nowhere.Acquire(dir.path() + "/missing/", console, 1), RunLock::Result::NoLockFile);
}

}  // namespace
}  // namespace vm
