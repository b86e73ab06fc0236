// Running a piece of a test in a child process, for what must not happen to the test program
// itself (a file size limit, a deliberate kill).
#pragma once

#include <functional>

namespace vm::test {

// Runs the function in a child process and returns its wait status.
int InChild(const std::function<void()>& run);

enum class KillOutcome {
  kKilled,     // killed on its way into that change
  kFinished,   // ended by itself, having made fewer changes
  kNotTraced,  // the host does not let the test trace its child
};

// Runs the function in a child process that is killed (SIGKILL) on its way into its
// change-th system call that changes a file (write, truncate, rename, link, unlink; counted from
// 1): the changes before it are made, that one and any later ones are not. The calls are seen
// through ptrace, so the code under test needs no hook.
KillOutcome InChildKilledAtChange(const std::function<void()>& run, int change);

}  // namespace vm::test
