// Runs of the program killed at one system call: strace's fault injection sends SIGKILL on the
// way into the n-th call of one kind, so that the calls before it are made and it is not.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/e2e_program.h"

namespace vm::test {

inline constexpr const char* kStrace = "/usr/bin/strace";

inline bool StraceAvailable() { return std::filesystem::exists(kStrace); }

// The run of the program with those arguments, killed at the n-th call (from 1). Its exit code
// is 0 only when it made fewer such calls and ended by itself. LeakSanitizer cannot work in a
// traced process, so it is switched off for the run.
inline ProgramRun RunKilledAtCall(const std::string& call, int n,
                                  const std::vector<std::string>& arguments,
                                  ProgramRunOptions options) {
  options.environment["ASAN_OPTIONS"] = "detect_leaks=0";
  std::vector<std::string> traced{"-f",
                                  "-o",
                                  "/dev/null",
                                  "-e",
                                  "trace=" + call,
                                  "-e",
                                  "inject=" + call + ":signal=KILL:when=" + std::to_string(n),
                                  VELDMARK_BINARY};
  traced.insert(traced.end(), arguments.begin(), arguments.end());
  return RunProgramFile(kStrace, traced, options);
}

}  // namespace vm::test
