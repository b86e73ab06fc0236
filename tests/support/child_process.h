// Running a piece of a test in a child process, for what must not happen to the test program
// itself (a file size limit, a deliberate kill).
#pragma once

#include <functional>

namespace vm::test {

// Runs the function in a child process and returns its wait status.
int InChild(const std::function<void()>& run);

// Runs the function in a child process that is killed (SIGKILL) on its way into its
// change-th system call that changes a file (write, truncate, rename, unlink; counted from 1):
// the changes before it are made, that one and any later ones are not. Returns true when the
// child was killed, false when it made fewer changes and ended by itself. The calls are seen
// through ptrace, so the code under test needs no hook.
bool InChildKilledAtChange(const std::function<void()>& run, int change);

}  // namespace vm::test
