#include "support/child_process.h"

#include <signal.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vm::test {
namespace {

bool ChangesAFile(unsigned long long call) {
  switch (call) {
    case SYS_write:
    case SYS_pwrite64:
    case SYS_writev:
    case SYS_pwritev:
    case SYS_pwritev2:
    case SYS_truncate:
    case SYS_ftruncate:
    case SYS_fallocate:
    case SYS_rename:
    case SYS_renameat:
    case SYS_renameat2:
    case SYS_link:
    case SYS_linkat:
    case SYS_unlink:
    case SYS_unlinkat: return true;
    default: return false;
  }
}

}  // namespace

int InChild(const std::function<void()>& run) {
  pid_t pid = fork();
  if (pid == 0) {
    run();
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

KillOutcome InChildKilledAtChange(const std::function<void()>& run, int change) {
  pid_t pid = fork();
  if (pid == 0) {
    // Stopped until the parent is tracing it.
    if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) _exit(120);
    raise(SIGSTOP);
    run();
    _exit(0);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFSTOPPED(status))
    return KillOutcome::kNotTraced;
  auto stop = [&] {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  };
  // Syscall stops are told from signals by bit 0x80; the child dies with the test program.
  if (ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL) != 0) {
    stop();
    return KillOutcome::kNotTraced;
  }
  int changes = 0;
  int pass = 0;  // a signal for the child, passed on
  for (;;) {
    if (ptrace(PTRACE_SYSCALL, pid, nullptr, pass) != 0 || waitpid(pid, &status, 0) != pid) {
      stop();
      return KillOutcome::kNotTraced;
    }
    pass = 0;
    if (WIFEXITED(status) || WIFSIGNALED(status)) return KillOutcome::kFinished;
    if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
      pass = WSTOPSIG(status);
      continue;
    }
    __ptrace_syscall_info info{};
    if (ptrace(PTRACE_GET_SYSCALL_INFO, pid, sizeof info, &info) <= 0) {
      stop();
      return KillOutcome::kNotTraced;
    }
    if (info.op == PTRACE_SYSCALL_INFO_ENTRY && ChangesAFile(info.entry.nr) &&
        ++changes == change) {
      stop();
      return KillOutcome::kKilled;
    }
  }
}

}  // namespace vm::test
