// Runs of the program killed at one system call: strace's fault injection sends SIGKILL on the
// way into the n-th call of one kind, so that the calls before it are made and it is not.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "msgbase/message_base.h"
#include "support/e2e_program.h"

namespace vm::test {

inline constexpr const char* kStrace = "/usr/bin/strace";

inline bool StraceAvailable() { return std::filesystem::exists(kStrace); }

// A run in a node directory: its program directory, TEMP and current directory.
inline ProgramRunOptions NodeRunOptions(const std::filesystem::path& node, int seconds = 60) {
  ProgramRunOptions options;
  options.workDir = node.string();
  options.environment = {{"VELDMARK_HOME", node.string()}, {"TEMP", node.string()}};
  options.timeLimitSeconds = seconds;
  return options;
}

// Every message of the area reads to its end, and as many are not deleted as the base counts
// once the next write under the lock has mended what a kill left half-done.
inline testing::AssertionResult AreaReadsWhole(const std::string& areaId) {
  MessageBaseHandle base;
  if (!OpenMessageArea(areaId, base)) return testing::AssertionFailure() << "cannot open";
  base->StartNewMessage();
  base->SetMailKind(MailKind::Echomail);
  base->SetFromName("Sysop");
  base->SetToName("All");
  base->SetSubject("After the kill");
  base->PutLine("The next message.");
  if (base->WriteMessage() != 0) return testing::AssertionFailure() << "cannot write";
  int32_t read = 0;
  for (base->SeekFrom(1); base->Found(); base->SeekNext()) {
    base->LoadHeader();
    base->StartReading();
    while (!base->TextEnded()) base->NextLine(255);
    if (!base->IsDeleted()) ++read;
  }
  const int32_t counted = base->ActiveCount();
  CloseMessageArea(base);
  if (read != counted)
    return testing::AssertionFailure() << read << " read, " << counted << " counted";
  return testing::AssertionSuccess();
}

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
