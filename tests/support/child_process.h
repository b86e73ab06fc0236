// Running a piece of a test in a child process, for what must not happen to the test program
// itself (a file size limit, a deliberate kill).
#pragma once

#include <functional>

namespace vm::test {

// Runs the function in a child process and returns its wait status.
int InChild(const std::function<void()>& run);

}  // namespace vm::test
