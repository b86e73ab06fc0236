#include "support/e2e_program.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "text/cp866.h"

namespace vm {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

}  // namespace

E2eNode::E2eNode(const std::vector<std::string>& extraSettings) {
  std::string settings = "NAME \"Ivan Petrov\"\r\nADDRESS 2:5020/100\r\n";
  for (const std::string& line : extraSettings) settings += Utf8ToCp866(line) + "\r\n";
  dir_.WriteFile("VELDMARK.CTL", settings);
  dir_.WriteFile("VELDMARK.TPL", "@SECTION\r\n");
  dir_.WriteFile("AREADEFS.CTL", ";\r\n");
}

bool E2eNode::ExistsAnyCase(const std::string& name) const {
  bool found = false;
  if (DIR* d = opendir(path().c_str())) {
    while (dirent* entry = readdir(d))
      if (strcasecmp(entry->d_name, name.c_str()) == 0) found = true;
    closedir(d);
  }
  return found;
}

ProgramRun RunProgramFile(const std::string& binary, const std::vector<std::string>& arguments,
                          const ProgramRunOptions& options) {
  ScopedTempDir capture;
  std::string outPath = capture / "stdout";
  std::string errPath = capture / "stderr";
  int inputPipe[2] = {-1, -1};
  if (options.input && pipe(inputPipe) != 0) throw std::runtime_error("pipe failed");

  pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    if (options.input) {
      dup2(inputPipe[0], STDIN_FILENO);
      close(inputPipe[0]);
      close(inputPipe[1]);
    } else {
      int null = open("/dev/null", O_RDONLY);
      dup2(null, STDIN_FILENO);
    }
    dup2(open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
    dup2(open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
    if (!options.workDir.empty() && chdir(options.workDir.c_str()) != 0) _exit(126);
    for (const std::string& name : options.unsetEnvironment) unsetenv(name.c_str());
    for (const auto& [name, value] : options.environment) setenv(name.c_str(), value.c_str(), 1);
    // A program that waits for a key it will never get fails the test instead of hanging it.
    alarm(static_cast<unsigned>(options.timeLimitSeconds));
    std::vector<char*> argv;
    std::string program = binary;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  if (options.input) {
    close(inputPipe[0]);
    ssize_t ignored = write(inputPipe[1], options.input->data(), options.input->size());
    (void)ignored;
    close(inputPipe[1]);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ProgramRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.output = ReadAll(outPath);
  run.errors = ReadAll(errPath);
  return run;
}

ProgramRunOptions NodeRunOptions(const E2eNode& node, std::optional<std::string> input) {
  ProgramRunOptions options;
  options.workDir = node.path();
  options.environment = {{"VELDMARK_HOME", node.path()}, {"TEMP", node.path()}};
  options.input = std::move(input);
  return options;
}

}  // namespace vm
