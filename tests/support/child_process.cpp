#include "support/child_process.h"

#include <sys/wait.h>
#include <unistd.h>

namespace vm::test {

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

}  // namespace vm::test
