#include "platform/console.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>

#include "support/fake_console.h"
#include "text/cp866.h"

namespace vm {
namespace {

TEST(AskYesNo, ReadsUntilYesNoOrEsc) {
  FakeConsole yes("xqy");
  EXPECT_TRUE(AskYesNo(yes, "Overwrite? (Y/N)"));
  EXPECT_EQ(yes.output, "Overwrite? (Y/N)Y\n");
  FakeConsole no("\nN");
  EXPECT_FALSE(AskYesNo(no, "?"));
  EXPECT_EQ(no.KeysLeft(), 0u);
  FakeConsole esc("\x1By");
  EXPECT_FALSE(AskYesNo(esc, "?"));
  EXPECT_EQ(esc.KeysLeft(), 1u);
  FakeConsole ended("abc");  // input runs out: no
  EXPECT_FALSE(AskYesNo(ended, "?"));
  FakeConsole cyrillic(Cp866("нY"));  // the Russian letter is no answer
  EXPECT_TRUE(AskYesNo(cyrillic, "?"));
}

TEST(ReadLine, EndsAtEnterAndGivesNothingForEscOrTheEndOfInput) {
  const struct {
    const char* keys;
    bool terminal;
    std::optional<std::string> line;
    const char* echo;
    size_t keysLeft;
  } kCases[] = {
      {"Ivan Petrov\r\nrest", false, "Ivan Petrov", "Ivan Petrov\n", 4},  // a CR LF pipe
      {"Ivan\rX", true, "Ivan", "Ivan\n", 1},  // a terminal's Enter may be CR
      {"Iwx\b\x7Fvan\n", false, "Ivan", "Iwx\b \b\b \bvan\n", 0},
      {"\b\tIvan\n", false, "Ivan", "Ivan\n", 0},     // nothing to take back; no control codes
      {"Iv\033an\n", true, std::nullopt, "Iv\n", 3},  // Esc cancels the line
      {"Ivan", false, std::nullopt, "Ivan\n", 0},     // the input ended before the line did
  };
  for (const auto& c : kCases) {
    FakeConsole console(c.keys);
    console.SetInteractive(c.terminal);
    EXPECT_EQ(ReadLine(console), c.line) << c.keys;
    EXPECT_EQ(console.output, c.echo) << c.keys;
    EXPECT_EQ(console.KeysLeft(), c.keysLeft) << c.keys;
  }
  FakeConsole longLine(std::string(300, 'a') + "\n");
  EXPECT_EQ(ReadLine(longLine), std::string(255, 'a'));
}

TEST(WarnAndWait, PrintsTheMessageAndThePromptAndTakesOneKey) {
  FakeConsole console("ab");
  WarnAndWait(console, Cp866("Переменная TEMPPATH сброшена."));
  EXPECT_EQ(console.output, Cp866("Переменная TEMPPATH сброшена.\n"
                                  "Нажмите любую клавишу для продолжения...\n"));
  EXPECT_EQ(console.beeps, 1);
  EXPECT_EQ(console.KeysLeft(), 1u);
}

// Runs body in a child process whose stdin is the given file and whose stdout goes to a pipe;
// returns the child's output and sets its exit code.
std::string RunWithStdin(const char* stdinPath, int& exitCode, void (*body)()) {
  int out[2];
  EXPECT_EQ(pipe(out), 0);
  std::fflush(stdout);
  pid_t child = fork();
  if (child == 0) {
    int in = open(stdinPath, O_RDONLY);
    dup2(in, STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    body();
    std::fflush(stdout);
    _exit(0);
  }
  close(out[1]);
  std::string output;
  char buffer[256];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) output.append(buffer, n);
  close(out[0]);
  int status = 0;
  waitpid(child, &status, 0);
  exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return output;
}

TEST(ProcessConsole, WithoutInputNothingWaits) {
  auto start = std::chrono::steady_clock::now();
  int code = -1;
  std::string output = RunWithStdin("/dev/null", code, [] {
    Console& console = ProcessConsole();
    WarnAndWait(console, Cp866("Внимание"));
    _exit(AskYesNo(console, "?") || console.IsInteractive() ? 1 : 7);
  });
  EXPECT_EQ(code, 7);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  // Console output is the terminal's UTF-8.
  EXPECT_EQ(output, "Внимание\nНажмите любую клавишу для продолжения...\n?N\n");
}

TEST(ProcessConsole, ControlCodesCannotDriveTheTerminal) {
  int code = -1;
  std::string output = RunWithStdin("/dev/null", code, [] {
    ProcessConsole().WriteLine(std::string("name\x1B]0;evil\x07\x1B[2J\x10.zip\r"));
  });
  EXPECT_EQ(output, "name←]0;evil\a←[2J►.zip\r\n");
}

}  // namespace
}  // namespace vm
