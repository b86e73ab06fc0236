// Whole-program runs for end-to-end tests: a fresh node directory, and the built veldmark run
// in it as a child process with its own environment and stdin, never a terminal.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/platform_temp_dir.h"

namespace vm {

// A temporary node: VELDMARK.CTL (NAME and ADDRESS, then the extra lines), a minimal
// VELDMARK.TPL and an AREADEFS.CTL, in a directory of its own.
class E2eNode {
 public:
  // extraSettings: UTF-8 lines (converted to CP866), each ended with CR LF.
  explicit E2eNode(const std::vector<std::string>& extraSettings = {});

  const ScopedTempDir& dir() const { return dir_; }
  const std::string& path() const { return dir_.path(); }
  // A file of the node read back; CP866 files are given as they are (bytes).
  std::string Read(const std::string& relative) const { return dir_.ReadFile(relative); }
  bool Exists(const std::string& relative) const { return dir_.Exists(relative); }
  // Whether a file of that name exists in the node's directory, in any letter case.
  bool ExistsAnyCase(const std::string& name) const;

 private:
  ScopedTempDir dir_;
};

struct ProgramRun {
  int exitCode = -1;   // -1 when the program did not end normally (a signal, the time limit)
  std::string output;  // stdout as the terminal would show it (UTF-8)
  std::string errors;  // stderr
};

struct ProgramRunOptions {
  std::string workDir;                             // current directory of the run
  std::map<std::string, std::string> environment;  // set on top of the test's environment
  std::vector<std::string> unsetEnvironment;
  std::optional<std::string> input;  // piped to stdin; nothing: stdin is /dev/null
  int timeLimitSeconds = 60;         // the run is killed after this
};

// Runs the program file with the arguments (UTF-8).
ProgramRun RunProgramFile(const std::string& binary, const std::vector<std::string>& arguments,
                          const ProgramRunOptions& options);

// The options of the usual run in a node: the node as current directory, VELDMARK_HOME and
// TEMP set to it.
ProgramRunOptions NodeRunOptions(const E2eNode& node, std::optional<std::string> input);

// Test programs know the built program's path.
#ifdef VELDMARK_BINARY
inline ProgramRun RunVeldmark(const std::vector<std::string>& arguments,
                              const ProgramRunOptions& options) {
  return RunProgramFile(VELDMARK_BINARY, arguments, options);
}
inline ProgramRun RunInNode(const E2eNode& node, const std::vector<std::string>& arguments,
                            std::optional<std::string> input = std::nullopt) {
  return RunVeldmark(arguments, NodeRunOptions(node, std::move(input)));
}
#endif

}  // namespace vm
