// Kill points for whole-program runs: strace's fault injection sends SIGKILL at the Nth call
// of one kind (write, pwrite64, rename, unlink, fsync, ftruncate), in a fresh copy of a node
// for every N. A first traced run counts the calls of each kind; when there are more than a
// test can afford, the points are sampled evenly (the first and the last always among them).
// What must hold after a kill is the caller's check, typically after a run to completion.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "kill_point.h"
#include "support/e2e_program.h"

namespace vm::test {

struct KillPointPlan {
  std::vector<std::string> calls = {"write", "pwrite64", "rename", "unlink", "fsync", "ftruncate"};
  int mostPerCall = 6;  // kill points tried per kind of call
};

class KillPoints {
 public:
  // `original` is copied to `work` afresh for every kill point.
  KillPoints(std::filesystem::path original, std::filesystem::path work, KillPointPlan plan = {})
      : original_(std::move(original)), work_(std::move(work)), plan_(std::move(plan)) {}

  static bool Available() { return StraceAvailable(); }

  // Runs the program with `arguments` killed at each planned point, calling `check(point)`
  // after each kill with the killed node in `work`. Returns the number of kill points tried.
  int Run(const std::vector<std::string>& arguments,
          const std::function<void(const std::string& point)>& check) {
    const std::map<std::string, int> counts = CountCalls(arguments);
    int points = 0;
    for (const std::string& call : plan_.calls) {
      const auto found = counts.find(call);
      if (found == counts.end()) continue;
      for (int n : Sample(found->second)) {
        Fresh();
        const ProgramRun killed = RunKilledAtCall(call, n, arguments, NodeRunOptions(work_, 120));
        if (killed.exitCode != -1) continue;  // the run ended before the Nth call
        ++points;
        check(call + " #" + std::to_string(n) + " of " + std::to_string(found->second));
        if (::testing::Test::HasFatalFailure() || ::testing::Test::HasFailure()) return points;
      }
    }
    return points;
  }

 private:
  void Fresh() const {
    std::filesystem::remove_all(work_);
    std::filesystem::copy(original_, work_, std::filesystem::copy_options::recursive);
  }

  // How many calls of each kind a whole run makes.
  std::map<std::string, int> CountCalls(const std::vector<std::string>& arguments) const {
    Fresh();
    const std::string log = work_.string() + ".calls";
    std::string kinds;
    for (const std::string& call : plan_.calls) kinds += (kinds.empty() ? "" : ",") + call;
    ProgramRunOptions options = NodeRunOptions(work_, 120);
    // LeakSanitizer cannot work in a traced process.
    options.environment["ASAN_OPTIONS"] = "detect_leaks=0";
    std::vector<std::string> traced{"-f", "-o", log, "-e", "trace=" + kinds, VELDMARK_BINARY};
    traced.insert(traced.end(), arguments.begin(), arguments.end());
    const ProgramRun run = RunProgramFile(kStrace, traced, options);
    EXPECT_NE(run.exitCode, -1) << run.output;
    std::map<std::string, int> counts;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) {
      // "PID call(arguments" or "call(arguments"; a resumed call is not counted twice.
      size_t start = line.find_first_not_of("0123456789 ");
      if (start == std::string::npos || line.compare(start, 4, "<...") == 0) continue;
      const size_t paren = line.find('(', start);
      if (paren != std::string::npos) ++counts[line.substr(start, paren - start)];
    }
    std::filesystem::remove(log);
    return counts;
  }

  std::vector<int> Sample(int count) const {
    std::set<int> points;
    const int most = std::max(2, plan_.mostPerCall);
    if (count <= most) {
      for (int n = 1; n <= count; ++n) points.insert(n);
    } else {
      for (int i = 0; i < most; ++i)
        points.insert(1 + static_cast<int>(int64_t{i} * (count - 1) / (most - 1)));
    }
    return {points.begin(), points.end()};
  }

  std::filesystem::path original_;
  std::filesystem::path work_;
  KillPointPlan plan_;
};

}  // namespace vm::test
