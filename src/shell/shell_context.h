// What the shell works with: the run's settings, areas and state, its directories, console
// and log, owned by the program's main.
#pragma once

namespace vm {
class AreaTable;
class Console;
class RunLog;
struct ProgramPaths;
struct RunState;
struct Settings;
}  // namespace vm

namespace vm::shell {

struct ShellContext {
  const Settings& settings;
  AreaTable& areas;
  RunState& state;
  const ProgramPaths& paths;
  Console& console;
  const RunLog& log;
};

}  // namespace vm::shell
