// One run per program directory: the state files, the history and the download directories
// of a node are not safe to share between two runs (overlapping cron jobs, or cron while the
// shell is open). A run holds a lock on a file in the program directory for its whole length;
// the kernel drops it when the process ends in any way, a kill included.
#pragma once

#include <string>

#include "platform/file.h"

namespace vm {

class Console;

class RunLock {
 public:
  // Pauses of 100 ms: an unattended run waits up to a minute for another one to end.
  static constexpr int kDefaultAttempts = 600;

  enum class Result { Taken, Busy, NoLockFile };

  // Takes the lock of the program directory, waiting while another run holds it (one console
  // line says so). Busy when another run kept it for all the attempts.
  Result Acquire(const std::string& programDir, Console& console, int attempts = kDefaultAttempts);

 private:
  File file_;
};

}  // namespace vm
