#include "platform/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/host_path.h"
#include "text/cp866.h"

extern char** environ;

namespace vm {
namespace {

enum class Quoting { None, Single, Double };

// The text as it must stand inside double quotes to mean itself.
std::string EscapeInDoubleQuotes(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '$' || c == '`' || c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

// The argument in the form that means exactly its text where the template's quoting stands:
// a word of its own outside quotes, escaped inside double quotes, and inside single quotes
// the quote is closed, the word put in, and the quote opened again.
std::string Substitute(std::string_view argument, Quoting quoting) {
  switch (quoting) {
    case Quoting::None: return ShellQuote(argument);
    case Quoting::Double: return EscapeInDoubleQuotes(argument);
    case Quoting::Single: return "'" + ShellQuote(argument) + "'";
  }
  return ShellQuote(argument);
}

// A list argument: each item quoted on its own, blanks between them.
std::string SubstituteList(const std::vector<std::string>& items, Quoting quoting) {
  std::string words;
  for (const std::string& item : items) {
    if (!words.empty()) words += ' ';
    words += Substitute(item, quoting);
  }
  return words;
}

// Replaces %1 ... %9 by their arguments, following the template's own quotes so that a sysop's
// "pkzip -a "%1" %2" works as well as "pkzip -a %1 %2".
std::string BuildCommand(std::string_view tmpl,
                         const std::vector<std::vector<std::string>>& arguments) {
  std::string command;
  Quoting quoting = Quoting::None;
  for (size_t i = 0; i < tmpl.size(); ++i) {
    char c = tmpl[i];
    if (c == '%' && i + 1 < tmpl.size() && tmpl[i + 1] >= '1' && tmpl[i + 1] <= '9') {
      size_t index = static_cast<size_t>(tmpl[i + 1] - '1');
      if (index < arguments.size()) {
        command += SubstituteList(arguments[index], quoting);
        ++i;
        continue;
      }
    }
    command += c;
    if (c == '\\' && quoting != Quoting::Single && i + 1 < tmpl.size()) {
      command += tmpl[++i];  // an escaped character changes no quoting
    } else if (c == '\'' && quoting != Quoting::Double) {
      quoting = quoting == Quoting::Single ? Quoting::None : Quoting::Single;
    } else if (c == '"' && quoting != Quoting::Single) {
      quoting = quoting == Quoting::Double ? Quoting::None : Quoting::Double;
    }
  }
  return command;
}

}  // namespace

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
               const ChildSetup& setup) {
  std::vector<std::vector<std::string>> lists;
  for (const std::string& argument : arguments) lists.push_back({argument});
  return RunCommandWithLists(commandTemplate, lists, setup);
}

int RunCommandWithLists(std::string_view commandTemplate,
                        const std::vector<std::vector<std::string>>& arguments,
                        const ChildSetup& setup) {
  // Command and arguments are CP866 program texts; the shell and the file system speak UTF-8.
  // A NUL byte cannot pass to the shell; it would cut the command short.
  std::string command = Cp866ToUtf8(BuildCommand(commandTemplate, arguments));
  std::erase(command, '\0');

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The child enters its directory between the fork and the exec; ours stays where it is.
  const std::string directory =
      setup.workingDirectory.empty() ? std::string() : HostPath(setup.workingDirectory);
  if (!directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
  if (setup.hideOutput) {
    // A child whose output nobody sees must not wait for an answer either.
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  }
  std::fflush(nullptr);  // our own buffered output comes before the child's
  char shell[] = "/bin/sh";
  char dashC[] = "-c";
  char* argv[] = {shell, dashC, command.data(), nullptr};
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, shell, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;

  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace vm
