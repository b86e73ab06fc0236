// The program never changes its own working directory: strace watches the program itself (not
// the children it starts) for chdir and fchdir through every kind of run on a node whose
// settings name their paths relative to the start directory, and through a walk of the shell
// in tmux that enters a subdirectory, runs a user utility there and posts a file from it. What
// the relative paths name is found, and written, from the start directory only.
#include <gtest/gtest.h>

#include <filesystem>

#include "decode_node.h"
#include "kill_point.h"
#include "support/tmux_session.h"

namespace vm::test {
namespace {

// The strace arguments that record the program's own directory changes into the file.
std::vector<std::string> Traced(const std::string& traceFile,
                                const std::vector<std::string>& arguments) {
  std::vector<std::string> traced{"-o", traceFile, "-e", "trace=chdir,fchdir", VELDMARK_BINARY};
  traced.insert(traced.end(), arguments.begin(), arguments.end());
  return traced;
}

// The lines of the trace that record a directory change (not the signals or the exit).
std::string DirectoryChanges(const std::string& trace) {
  std::string changes;
  size_t start = 0;
  for (size_t end; (end = trace.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = trace.substr(start, end - start + 1);
    if (line.find("chdir(") != std::string::npos) changes += line;
  }
  return changes;
}

struct WorkingDirectory : ::testing::Test {
  void SetUp() override {
    if (!StraceAvailable()) GTEST_SKIP() << "strace is not installed";
    node.node().dir().MakeDirectory("sub");
    node.node().dir().WriteFile("sub/file.bin", data);
    node.node().dir().WriteFile("sub/README", "Packed with the file.\r\n");
  }

  const std::string data = TestBytes(7000, 3);
  DecodeNode node{{"TEMPPATH OUT", "PACKER \"zip -q %1 %2\"",
                   "EXTERNUTIL \"~W~here\" F6 \"pwd -P > where.out\" HideScreen"},
                  "AREA RU.FILES\r\nSECTIONSPERDAY 20"};
  ScopedTempDir scratch;
};

TEST_F(WorkingDirectory, NoRunChangesIt) {
  const struct {
    std::vector<std::string> arguments;
    int exitCode;
  } runs[] = {
      {{"/Encode", "sub/file.bin", "UU", "RU.FILES", "All", "-Immed"}, 0},
      {{"/Q"}, 0},
      {{"/Decode", "RU.FILES", "-AnyWay"}, 0},
      {{"/All"}, 0},
      {{"/Debug"}, 0},
      {{"/?"}, 0},
      {{"/Bogus"}, 3},
      {{"/Install", "-Manual"}, 0},
  };
  for (const auto& run : runs) {
    ProgramRunOptions options = NodeRunOptions(node.node(), std::nullopt);
    options.environment["ASAN_OPTIONS"] = "detect_leaks=0";
    const ProgramRun result =
        RunProgramFile(kStrace, Traced(scratch / "trace", run.arguments), options);
    EXPECT_EQ(result.exitCode, run.exitCode) << run.arguments[0] << "\n" << result.output;
    EXPECT_EQ(DirectoryChanges(scratch.ReadFile("trace")), "") << run.arguments[0];
  }
  EXPECT_TRUE(node.Read("FILES/FILE.BIN") == data) << "posted, then decoded into ROOT";
  EXPECT_TRUE(node.Read("sub/file.bin") == data) << "the original stays";
  EXPECT_TRUE(node.Exists("OUT")) << "TEMPPATH in the start directory";
  EXPECT_NE(node.Read("VELDMARK.LOG").find(Utf8ToCp866("Нормальный выход")), std::string::npos);
  for (const char* stray : {"sub/OUT", "sub/FILES", "sub/areas", "FILES/areas", "OUT/areas"})
    EXPECT_FALSE(node.Exists(stray)) << stray;
}

TEST_F(WorkingDirectory, TheShellsPanelWalksWithoutIt) {
  if (!TmuxSession::Available()) GTEST_SKIP() << "tmux is not installed";
  if (!std::filesystem::exists("/usr/bin/zip")) GTEST_SKIP() << "zip is not installed";
  const std::string dir = node.node().path();
  std::string program = kStrace;
  for (const std::string& word : Traced(scratch / "trace", {})) program += " " + ShellQuote(word);
  TmuxSession tmux("cd " + ShellQuote(dir) +
                       " && env TERM=xterm-256color LANG=C.UTF-8 ASAN_OPTIONS=detect_leaks=0 "
                       "VELDMARK_HOME=" +
                       ShellQuote(dir) + " " + program,
                   80, 25);
  ASSERT_TRUE(tmux.WaitFor("Области")) << tmux.Screen();
  tmux.SendKeys({"sub"}, true);
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitFor("file     bin")) << tmux.Screen();
  tmux.SendKeys({"F6"});  // the utility, unseen
  ASSERT_TRUE(tmux.WaitFor("where    out")) << tmux.Screen();
  // Both files packed into one archive in sub, posted from there.
  tmux.SendKeys({"Home", "Down", "Insert", "Insert", "F5"});
  ASSERT_TRUE(tmux.WaitFor("Сжать перед посылкой")) << tmux.Screen();
  // To, from, from where, then the options: the fifth is compression.
  tmux.SendKeys({"Tab", "Tab", "Tab", "Down", "Down", "Down", "Down", "Space", "Enter"});
  ASSERT_TRUE(tmux.WaitFor("Введите имя архива")) << tmux.Screen();
  tmux.SendKeys({"both.zip"}, true);
  tmux.SendKeys({"Enter"});
  // The panel is read again once the queue has run: the archive is listed.
  ASSERT_TRUE(tmux.WaitFor("both     zip")) << tmux.Screen();
  tmux.SendKeys({"Escape"});
  ASSERT_TRUE(tmux.WaitFor("Вы уверены что хотите выйти?")) << tmux.Screen();
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitFor("EXIT=0")) << tmux.Screen();

  EXPECT_EQ(DirectoryChanges(scratch.ReadFile("trace")), "");
  EXPECT_EQ(node.Read("sub/where.out"), std::filesystem::canonical(dir + "/sub").string() + "\n");
  // The archive is looked for, and posted from, where the packer ran.
  EXPECT_FALSE(node.Messages("rufiles").empty()) << "the archive was posted";
  for (const char* stray : {"where.out", "both.zip", "sub/OUT", "sub/areas"})
    EXPECT_FALSE(node.Exists(stray)) << stray;
}

}  // namespace
}  // namespace vm::test
