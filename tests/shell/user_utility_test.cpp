// User utilities: the command line built from %1, %2 and %3, and the run from the shell with
// the parameters dialog, Pause and HideScreen.
#include "shell/user_utility.h"

#include <gtest/gtest.h>

#include "shell_node.h"

namespace vm::shell {
namespace {

namespace key = tui::key;

TEST(UtilityCommand, FirstPlaceholdersOnlyEachValueOneWord) {
  struct Case {
    const char* command;
    const char* file;
    const char* area;
    const char* line;
  };
  const Case cases[] = {
      {"view %1", "a.txt", "RU.FILES", "view 'a.txt'"},
      {"cp %1 %1.bak", "a.txt", "", "cp 'a.txt' %1.bak"},  // only the first %1
      {"tool %2 %1 %3 %2 %3", "f", "RU.FILES", "tool 'RU.FILES' 'f'  %2 %3"},
      {"run %1", "a b;touch x", "", "run 'a b;touch x'"},
      {"run %1", "it's $(rm -rf /)", "", "run 'it'\\''s $(rm -rf /)'"},
      {"run %1 %2", "%2", "AREA", "run '%2' 'AREA'"},  // no placeholder inside a value
      {"run %1", "", "", "run ''"},
      {"100% %4 %", "f", "a", "100% %4 %"},
      {"", "f", "a", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BuildUtilityCommand(c.command, c.file, c.area), c.line) << c.command;
}

struct UtilityRun : ::testing::Test, test::ShellNode {
  UtilityRun() {
    dir.WriteFile("a b;touch x", "hostile name\n");
    dir.WriteFile("plain.txt", "");
  }
  // A utility on F9 that writes its arguments one per line into args.out.
  void AddUtility(uint32_t options, const char* command = "printf '[%s]\\n' %1 %2 %1 > args.out") {
    ExternalUtility tool;
    tool.title = Cp866("~А~ргументы");
    tool.keyName = "F9";
    tool.keyCode = 0x4300;
    tool.command = command;
    tool.RunOptions = options;
    settings.externalUtilities.push_back(tool);
  }
  void CursorOnHostileName() { backend.PushKey(key::kDown); }  // after ".."
};

TEST_F(UtilityRun, ParameterDialogThenTheCommandWithTheFileAsOneWord) {
  AddUtility(ExternalUtility::kParamDlg | ExternalUtility::kPause);
  console.AddKeys("k");
  CursorOnHostileName();
  backend.PushKey(key::F(9));
  backend.PushSnapshot();
  backend.PushKey(key::kEnter);
  backend.PushSnapshot();
  PushQuit();
  RunShell();

  EXPECT_EQ(dir.ReadFile("args.out"), "[a b;touch x]\n[]\n[%1]\n");
  EXPECT_FALSE(dir.Exists("x")) << "nothing else ran";
  EXPECT_EQ(backend.suspends, 1);
  EXPECT_EQ(backend.resumes, 1);
  EXPECT_NE(console.output.find(Cp866("Нажмите любую клавишу")), std::string::npos);
  EXPECT_EQ(console.KeysLeft(), 0u) << "Pause took a key";
  ASSERT_EQ(backend.snapshots.size(), 2u);
  const tui::CellBuffer& dialog = backend.snapshots[0];
  EXPECT_TRUE(ShowsText(dialog, "═ Аргументы ═"));
  EXPECT_TRUE(ShowsText(dialog, "Параметры:"));
  EXPECT_TRUE(ShowsText(dialog, "Ok"));
  EXPECT_TRUE(ShowsText(dialog, "Oтмена"));
  EXPECT_EQ(Shown(dialog, 24),
            " F1 Справка │ printf '[%s]\\n' %1 %2 %1 > args.out" + std::string(31, ' '));
  EXPECT_EQ(Shown(backend.snapshots[1], 22, 0, 14), "║a b;touch x. ")
      << "the cursor stays on the file";
}

TEST_F(UtilityRun, CancelInTheParameterDialogRunsNothing) {
  AddUtility(ExternalUtility::kParamDlg);
  CursorOnHostileName();
  backend.PushKey(key::F(9));
  backend.PushKey(key::kEsc);
  PushQuit();
  RunShell();
  EXPECT_FALSE(dir.Exists("args.out"));
  EXPECT_EQ(backend.suspends, 0);
}

TEST_F(UtilityRun, AnEditedLineRunsAsTyped) {
  AddUtility(ExternalUtility::kParamDlg);
  backend.PushKey(key::F(9));
  backend.PushKey(key::kEnd);
  backend.PushKeys(" extra");
  backend.PushKey(key::kEnter);
  PushQuit();
  RunShell();
  EXPECT_EQ(dir.ReadFile("args.out"), "[..]\n[]\n[%1]\n[extra]\n")
      << "the line ends in the typed word";
}

TEST_F(UtilityRun, HideScreenKeepsTheScreenAndTheDirectoryIsReadAgain) {
  AddUtility(ExternalUtility::kHideScreen, "echo made > made.txt");
  backend.PushKey(key::F(9));
  backend.PushSnapshot();
  PushQuit();
  RunShell();
  EXPECT_EQ(dir.ReadFile("made.txt"), "made\n");
  EXPECT_EQ(backend.suspends, 0);
  EXPECT_TRUE(ShowsText(backend.snapshots.at(0), "made     txt")) << "the new file is listed";
}

TEST_F(UtilityRun, TheParameterDialogHasItsOwnHistory) {
  AddUtility(ExternalUtility::kParamDlg, "true first");
  backend.PushKey(key::F(9));
  backend.PushKey(key::kEnter);
  backend.PushKey(key::F(9));
  backend.PushKeys("true second");
  backend.PushKey(key::kEnter);
  backend.PushKey(key::F(9));
  backend.PushKey(key::kUp);  // the latest line first
  backend.PushKey(key::kUp);
  backend.PushSnapshot();
  backend.PushKey(key::kEsc);
  PushQuit();
  RunShell();
  EXPECT_TRUE(ShowsText(backend.snapshots.at(0), "Параметры:  true first"));
  EXPECT_TRUE(state.nameHistory.empty()) << "not the dialogs' name history";
}

}  // namespace
}  // namespace vm::shell
