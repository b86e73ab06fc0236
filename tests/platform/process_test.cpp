#include "platform/process.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_system.h"
#include "support/platform_temp_dir.h"
#include "text/cp866.h"

namespace vm {
namespace {

// File names and subjects from other people's messages: none of them may run anything.
std::vector<std::string> HostileTexts(const std::string& marker) {
  std::string touch = "touch " + marker;
  return {"a; " + touch,
          "$(" + touch + ")",
          "`" + touch + "`",
          "x | " + touch,
          "x && " + touch + " &",
          "it's; " + touch + " '",
          "\"; " + touch + "; \"",
          "\\\"; " + touch,
          Cp866("Файл ёж; ") + touch,
          "line\n" + touch,
          "*",
          "~",
          "-n",
          "",
          "$HOME ${IFS} !! %1 %2"};
}

TEST(RunCommand, ArgumentsArePassedAsExactlyTheirTextAndNeverRun) {
  ScopedTempDir tree;
  std::string marker = tree / "MARKER";
  std::string out = tree / "out";
  // The placeholder bare, in double quotes and in single quotes, as sysops write them.
  for (const char* tmpl : {"printf '%s' %1 > %2", "printf '%s' \"%1\" > \"%2\"",
                           "printf '%s' '%1' > '%2'", "printf '%s' x%1\"y\"'z' > %2"}) {
    for (const std::string& text : HostileTexts(marker)) {
      ASSERT_EQ(RunCommand(tmpl, {text, out}), 0) << tmpl << " with " << text;
      std::string expected = Cp866ToUtf8(text);
      if (std::string(tmpl).find("x%1") != std::string::npos) expected = "x" + expected + "yz";
      EXPECT_EQ(tree.ReadFile("out"), expected) << tmpl << " with " << text;
      EXPECT_FALSE(tree.Exists("MARKER")) << tmpl << " with " << text;
    }
  }
}

TEST(RunCommand, ListArgumentsAreOneQuotedWordPerItem) {
  ScopedTempDir tree;
  const std::string marker = tree / "MARKER";
  const std::string out = tree / "out";
  std::vector<std::string> items = HostileTexts(marker);
  // Each item is a word of its own outside quotes; inside double quotes they make one word.
  ASSERT_EQ(RunCommandWithLists("printf '[%s]' %2 > %1", {{out}, items}), 0);
  std::string expected;
  for (const std::string& item : items) expected += "[" + Cp866ToUtf8(item) + "]";
  EXPECT_EQ(tree.ReadFile("out"), expected);
  ASSERT_EQ(RunCommandWithLists("printf '[%s]' \"%2\" > %1", {{out}, {"a b", "c"}}), 0);
  EXPECT_EQ(tree.ReadFile("out"), "[a b c]");
  ASSERT_EQ(RunCommandWithLists("printf '[%s]' x %2 > %1", {{out}, {}}), 0);
  EXPECT_EQ(tree.ReadFile("out"), "[x]") << "an empty list stands for nothing";
  EXPECT_FALSE(tree.Exists("MARKER"));
}

TEST(RunCommand, ANulByteCannotCutTheQuotingShort) {
  ScopedTempDir tree;
  std::string text = std::string("a'") + '\0' + "; touch " + (tree / "MARKER") + "; '";
  EXPECT_EQ(RunCommand("printf '%s' %1 > %2", {text, tree / "out"}), 0);
  EXPECT_FALSE(tree.Exists("MARKER"));
  EXPECT_EQ(tree.ReadFile("out"), "a'; touch " + (tree / "MARKER") + "; '");
}

TEST(RunCommand, ExitStatusAndPlaceholdersWithoutArguments) {
  ScopedTempDir tree;
  EXPECT_EQ(RunCommand("exit 3", {}), 3);
  EXPECT_EQ(RunCommand("true", {}), 0);
  EXPECT_EQ(RunCommand("no-such-command-vm-test", {}, {.hideOutput = true}), 127);
  EXPECT_EQ(RunCommand("kill -9 $$", {}), -1);
  EXPECT_EQ(RunCommand("printf '%s' '%3 %1 100%' > %1", {tree / "out"}), 0);
  EXPECT_EQ(tree.ReadFile("out"), "%3 " + (tree / "out") + " 100%");
}

TEST(RunCommand, HiddenOutputAlsoMeansNoInput) {
  ScopedTempDir tree;
  // The shell's own descriptors, as the spawn set them up (read before any redirection).
  EXPECT_EQ(RunCommand("fds=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2); "
                       "printf '%s' \"$fds\" > %1",
                       {tree / "out"}, {.hideOutput = true}),
            0);
  EXPECT_EQ(tree.ReadFile("out"), "/dev/null\n/dev/null\n/dev/null");
}

// The child enters its working directory itself; this process stays where it is. A directory
// that cannot be entered starts no child.
TEST(RunCommand, TheChildRunsInTheDirectoryItIsGiven) {
  ScopedTempDir tree;
  tree.MakeDirectory("Рабочий");
  tree.WriteFile("file.txt", "x");
  const std::string own = CurrentDirectory();
  const struct {
    std::string directory;
    int status;
    std::string ranIn;  // what the child's pwd printed; empty: it did not run
  } cases[] = {
      {"", 0, Cp866ToUtf8(own)},
      {Cp866(tree / "рабочий"), 0, std::filesystem::canonical(tree / "Рабочий").string()},
      {tree / "missing", -1, ""},
      {tree / "file.txt", -1, ""},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(tree / "pwd");
    EXPECT_EQ(RunCommand("pwd -P > %1", {tree / "pwd"}, {.workingDirectory = c.directory}),
              c.status)
        << c.directory;
    const std::string printed = tree.ReadFile("pwd");
    EXPECT_EQ(printed.empty() ? printed : printed.substr(0, printed.size() - 1), c.ranIn)
        << c.directory;
    EXPECT_EQ(CurrentDirectory(), own);
  }
}

}  // namespace
}  // namespace vm
