// The program as a package installs it: the executable in usr/bin, its shared files in
// usr/share/veldmark. Such a copy keeps a node's files only in $VELDMARK_HOME, starts an empty
// one from the example template and the installation, and finds its help in share/.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/e2e_program.h"
#include "support/tmux_session.h"
#include "text/cp866.h"

namespace vm {
namespace {

namespace fs = std::filesystem;

// A copy of the built program under root/usr/bin, with share/veldmark beside it or without.
class InstalledCopy {
 public:
  explicit InstalledCopy(bool withShare = true) {
    root_.MakeDirectory("usr/bin");
    fs::copy_file(VELDMARK_BINARY, Bin() + "veldmark");
    if (!withShare) return;
    root_.MakeDirectory("usr/share/veldmark");
    for (const char* name : {"VELDMARK.TPL", "veldmark.hlp"})
      fs::copy_file(std::string(VELDMARK_SOURCE_DIR) + "/examples/node/" + name, Share() + name);
  }

  std::string Bin() const { return root_ / "usr/bin/"; }
  std::string Share() const { return root_ / "usr/share/veldmark/"; }
  std::string Path(const std::string& relative) const { return root_ / relative; }
  std::string Read(const std::string& relative) const { return root_.ReadFile(relative); }

  // The installed program run in root/home (made when missing) with the environment given.
  ProgramRun Run(const std::vector<std::string>& arguments,
                 std::map<std::string, std::string> environment, const std::string& input = "") {
    root_.MakeDirectory("home");
    ProgramRunOptions options;
    options.workDir = root_ / "home";
    options.environment = std::move(environment);
    options.environment["VELDMARK_DRIVE_C"] = root_.path();  // the installation's search
    options.environment["TEMP"] = root_ / "home";
    options.unsetEnvironment = {"VELDMARK_HOME"};
    options.input = input;
    return RunProgramFile(Bin() + "veldmark", arguments, options);
  }

 private:
  ScopedTempDir root_;
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(InstalledCopy, NeedsVeldmarkHomeAndWritesNothingBesideTheProgram) {
  InstalledCopy copy;
  ProgramRun run = copy.Run({"/All"}, {});
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_TRUE(Contains(run.output, "Veldmark установлен в " + copy.Bin() + ", а свои настройки"))
      << run.output;
  EXPECT_TRUE(Contains(run.output,
                       "VELDMARK_HOME, например:\r\n"
                       "  VELDMARK_HOME=/srv/fido/veldmark veldmark"))
      << run.output;
  EXPECT_EQ(std::distance(fs::directory_iterator(copy.Bin()), fs::directory_iterator()), 1);
}

// Where VELDMARK.TPL was looked for: the message names the directory and VELDMARK_HOME.
TEST(InstalledCopy, AMissingTemplateNamesTheDirectoryAndTheVariable) {
  InstalledCopy copy;
  InstalledCopy buildTree(false);  // no share/: the executable's own directory is used
  const struct {
    InstalledCopy& copy;
    std::map<std::string, std::string> environment;
    std::string said;  // the lines after "Файл VELDMARK.TPL не найден"
  } cases[] = {
      {copy,
       {{"VELDMARK_HOME", copy.Path("nowhere")}},
       "Каталог программы: " + copy.Path("nowhere") +
           "/ (такого каталога нет)\r\nЕго задает переменная окружения VELDMARK_HOME\n"},
      {buildTree,
       {{"VELDMARK_HOME", buildTree.Path("home")}},
       "Каталог программы: " + buildTree.Path("home") +
           "/\r\nЕго задает переменная окружения VELDMARK_HOME\n"},
      {buildTree,
       {},
       "Каталог программы: " + buildTree.Bin() +
           "\r\nЭто каталог veldmark; другой задает переменная окружения VELDMARK_HOME\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.said);
    ProgramRun run = c.copy.Run({"/q"}, c.environment);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(Contains(run.output, "Файл VELDMARK.TPL не найден\r\n" + c.said)) << run.output;
    EXPECT_FALSE(Contains(run.output, "скопирован"));
  }
}

TEST(InstalledCopy, TheFirstRunInAnEmptyDirectoryTakesTheExampleTemplateThenInstalls) {
  InstalledCopy copy;
  const std::map<std::string, std::string> home{{"VELDMARK_HOME", copy.Path("home")}};
  ProgramRun run = copy.Run({}, home, "Ivan Petrov\n2:5020/9999\n\n");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  const size_t copied = run.output.find("Шаблон сообщений VELDMARK.TPL скопирован из " +
                                        copy.Share() + " (образец: поправьте его под себя)\n");
  ASSERT_NE(copied, std::string::npos) << run.output;
  EXPECT_GT(run.output.find("Установка...", copied), copied) << run.output;
  EXPECT_EQ(copy.Read("home/VELDMARK.TPL"), copy.Read("usr/share/veldmark/VELDMARK.TPL"));
  EXPECT_TRUE(Contains(Cp866ToUtf8(copy.Read("home/VELDMARK.CTL")), "NAME \"Ivan Petrov\""));
  EXPECT_FALSE(copy.Read("home/AREADEFS.CTL").empty());

  // The node now runs; the template is not copied again.
  run = copy.Run({"/Debug"}, home);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_FALSE(Contains(run.output, "скопирован")) << run.output;
  EXPECT_TRUE(Contains(Cp866ToUtf8(copy.Read("home/VELDMARK.DBG")), "ADDRESS 2:5020/9999"));
}

// The shell's F1 finds the help in share/ when neither the node nor bin/ has one.
TEST(InstalledCopy, TheShellsHelpComesFromShare) {
  if (!test::TmuxSession::Available()) GTEST_SKIP() << "tmux is not installed";
  InstalledCopy copy;
  E2eNode node;
  ASSERT_FALSE(node.ExistsAnyCase("veldmark.hlp"));
  const std::string dir = node.path();
  test::TmuxSession tmux("cd '" + dir +
                             "' && env TERM=xterm-256color LANG=C.UTF-8 VELDMARK_HOME='" + dir +
                             "' TEMP='" + dir + "' '" + copy.Bin() + "veldmark'",
                         80, 25);
  ASSERT_TRUE(tmux.WaitFor("Области")) << tmux.Screen();
  tmux.SendKeys({"F1"});
  ASSERT_TRUE(tmux.WaitFor("Главное окно Veldmark состоит из двух панелей")) << tmux.Screen();
  tmux.SendKeys({"Escape"});
  ASSERT_TRUE(tmux.WaitForGone("Главное окно Veldmark состоит")) << tmux.Screen();
  tmux.SendKeys({"Escape"});
  ASSERT_TRUE(tmux.WaitFor("Вы уверены что хотите выйти?")) << tmux.Screen();
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitFor("EXIT=0")) << tmux.Screen();
}

}  // namespace
}  // namespace vm
