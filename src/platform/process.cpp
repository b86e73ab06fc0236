#include "platform/process.h"

#include <sys/wait.h>
#include <cerrno>
#include <cstdio>
#include <unistd.h>

#include <cstdlib>

#include "text/cp866.h"

namespace vm {

std::string ShellQuote(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  out += "'";
  return out;
}

int RunCommand(std::string_view commandTemplate, const std::vector<std::string>& arguments,
               bool hideOutput) {
  std::string command;
  for (size_t i = 0; i < commandTemplate.size(); ++i) {
    char c = commandTemplate[i];
    if (c == '%' && i + 1 < commandTemplate.size() && commandTemplate[i + 1] >= '1' &&
        commandTemplate[i + 1] <= '9') {
      size_t index = static_cast<size_t>(commandTemplate[i + 1] - '1');
      if (index < arguments.size()) {
        command += ShellQuote(arguments[index]);
        ++i;
        continue;
      }
    }
    command += c;
  }
  // Command and arguments are CP866 program texts; the shell and the file system speak UTF-8.
  command = Cp866ToUtf8(command);
  pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (hideOutput) {
      if (FILE* null = std::freopen("/dev/null", "w", stdout)) (void)null;
      if (FILE* null = std::freopen("/dev/null", "w", stderr)) (void)null;
    }
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace vm
