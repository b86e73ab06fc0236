// The interactive shell in a real terminal: tmux runs the program at 80 x 25 and 132 x 43 on a
// node with a JAM and a *.MSG area holding postings. The walk opens the JAM area, selects and
// decodes two files, opens the information window, the change-drive dialog and the file menu
// by either keyboard layout, and quits with the state files saved; an end signal saves them
// too. Every wait is for what the screen shows.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

#include "decode_node.h"
#include "support/tmux_session.h"

namespace vm::test {
namespace {

std::string Data(size_t size, unsigned seed) {
  std::string data(size, '\0');
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 37 + seed + i / 11) & 0xFF);
  return data;
}

std::u32string Utf8Cells(const std::string& utf8) {
  std::u32string cells;
  for (size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    char32_t cp = length == 1 ? c : c & (0x3F >> (length - 1));
    for (size_t k = 1; k < length && i + k < utf8.size(); ++k)
      cp = (cp << 6) | (utf8[i + k] & 0x3F);
    cells.push_back(cp);
    i += length;
  }
  return cells;
}

struct ShellInTmux : ::testing::Test {
  void SetUp() override {
    if (!TmuxSession::Available()) GTEST_SKIP() << "tmux is not installed";
    node.Post("rufiles", Poster{}, UuSections(one, "one.bin", 40));
    node.Post("rufiles", Poster{}, UuSections(two, "two.bin", 40));
    node.Post("local", Poster{}, UuSections(Data(500, 3), "local.bin", 40));
  }
  std::string Command() const {
    const std::string dir = node.node().path();
    // The program's process id is kept in the node, for the signal test.
    return "cd " + ShellQuote(dir) +
           " && env TERM=xterm-256color LANG=C.UTF-8 VELDMARK_HOME=" + ShellQuote(dir) + " sh -c " +
           ShellQuote("echo $$ > veldmark.pid; exec " + ShellQuote(VELDMARK_BINARY));
  }

  const std::string one = Data(1500, 1);
  const std::string two = Data(4000, 2);  // two sections
  DecodeNode node{
      {"AREA MSG LOCAL areas\\local", "EXTERNUTIL \"~T~ool\" F6 \"echo utility-output\" Pause"},
      ";",
      kJamBase};
};

TEST_F(ShellInTmux, WalkDecodeInformChangeDriveMenusQuit) {
  TmuxSession tmux(Command(), 80, 25);
  ASSERT_TRUE(tmux.WaitFor("Области")) << tmux.Screen();
  tmux.SendKeys({"Tab"});
  tmux.SendKeys({"RU"}, true);  // quick search in the area list
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitFor("Выход ►")) << tmux.Screen();
  ASSERT_TRUE(tmux.WaitFor("two      bin")) << tmux.Screen();
  tmux.SendKeys({"Down", "Space", "Space"});
  ASSERT_TRUE(tmux.WaitFor("2 файл(ов) выбрано")) << tmux.Screen();
  const std::string colours = tmux.ScreenWithColours();
  EXPECT_NE(colours.find("\033[93m"), std::string::npos) << "selected rows in yellow";
  EXPECT_NE(colours.find("\033[46m"), std::string::npos) << "the cursor bar: cyan";
  tmux.SendKeys({"F5"});
  ASSERT_TRUE(tmux.WaitFor("one      bin│√")) << tmux.Screen();
  ASSERT_TRUE(tmux.WaitFor("two      bin│√")) << tmux.Screen();
  EXPECT_EQ(node.Read("ONE.BIN"), one);
  EXPECT_EQ(node.Read("TWO.BIN"), two);

  tmux.SendKeys({"F3"});
  ASSERT_TRUE(tmux.WaitFor("Все секции присутствуют")) << tmux.Screen();
  EXPECT_NE(tmux.Screen().find("Конференция: RU.FILES (RU.FILES)"), std::string::npos);
  tmux.SendKeys({"Escape"});
  ASSERT_TRUE(tmux.WaitForGone("Все секции присутствуют")) << tmux.Screen();

  tmux.SendKeys({"M-F1"});
  ASSERT_TRUE(tmux.WaitFor("═ Смена диска ═")) << tmux.Screen();
  tmux.SendKeys({"Escape"});
  ASSERT_TRUE(tmux.WaitForGone("═ Смена диска ═")) << tmux.Screen();

  for (const char* alt : {"M-a", "M-ф"}) {
    tmux.SendKeys({alt});
    ASSERT_TRUE(tmux.WaitFor("Кодировать файл(ы)")) << alt << "\n" << tmux.Screen();
    tmux.SendKeys({"Escape"});
    ASSERT_TRUE(tmux.WaitForGone("Кодировать файл(ы)")) << tmux.Screen();
  }

  tmux.SendKeys({"Escape"});
  ASSERT_TRUE(tmux.WaitFor("Вы уверены что хотите выйти?")) << tmux.Screen();
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitFor("EXIT=0")) << tmux.Screen();
  const std::string history = node.Read("veldmark.dup");
  EXPECT_NE(history.find("ONE.BIN\r\nRU.FILES"), std::string::npos) << history;
  EXPECT_NE(history.find("TWO.BIN\r\nRU.FILES"), std::string::npos) << history;
  EXPECT_NE(node.Read("VELDMARK.LOG").find(Utf8ToCp866("Нормальный выход")), std::string::npos);
}

TEST_F(ShellInTmux, LargerTerminalResizeAndEndSignal) {
  TmuxSession tmux(Command(), 132, 43);
  ASSERT_TRUE(tmux.WaitFor("Области")) << tmux.Screen();
  std::string screen = tmux.Screen();
  // Two panels of 66 columns; the status line on the last row.
  const std::string top = screen.substr(
      screen.find('\n') + 1, screen.find('\n', screen.find('\n') + 1) - screen.find('\n') - 1);
  const std::u32string topCells = Utf8Cells(top);
  ASSERT_EQ(topCells.size(), 132u) << top;
  EXPECT_EQ(topCells[65], U'╗');
  EXPECT_EQ(topCells[66], U'╔');
  EXPECT_NE(top.find(" Области "), std::string::npos);
  const size_t lastRow = screen.rfind("Alt+D Смена диска");
  EXPECT_EQ(std::count(screen.begin(), screen.begin() + static_cast<long>(lastRow), '\n'), 42);

  tmux.Resize(70, 20);
  ASSERT_TRUE(tmux.WaitFor("Увеличьте окно терминала до 80 x 25")) << tmux.Screen();
  tmux.Resize(80, 25);
  ASSERT_TRUE(tmux.WaitFor("Области")) << tmux.Screen();

  // SIGTERM ends the run like quitting: the state files are written.
  ASSERT_FALSE(node.Exists("veldmark.dup"));
  const pid_t pid = static_cast<pid_t>(std::stol(node.Read("veldmark.pid")));
  ASSERT_EQ(kill(pid, SIGTERM), 0);
  ASSERT_TRUE(tmux.WaitFor("EXIT=0")) << tmux.Screen();
  EXPECT_TRUE(node.Exists("veldmark.dup"));
  EXPECT_TRUE(node.Exists("areas.lst"));
}

// Ctrl+Z gives the terminal back and fg brings the shell back with the directory read again;
// a utility's pause line is gone from the terminal once the shell has ended.
TEST_F(ShellInTmux, CtrlZStopsTheShellAndFgBringsItBack) {
  // An interactive shell with job control, as a sysop's terminal has.
  TmuxSession tmux("env PS1='job$ ' bash --norc --noprofile -i", 80, 25);
  ASSERT_TRUE(tmux.WaitFor("job$")) << tmux.Screen();
  tmux.SendKeys({Command()}, true);
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitFor("Области")) << tmux.Screen();
  tmux.SendKeys({"C-z"});
  ASSERT_TRUE(tmux.WaitFor("Stopped")) << tmux.Screen();
  EXPECT_EQ(tmux.Screen().find("Области"), std::string::npos) << "the terminal is given back";
  tmux.SendKeys({"touch zzfresh.txt; fg"}, true);
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitFor("Области")) << tmux.Screen();
  EXPECT_NE(tmux.Screen().find("Alt+D Смена диска"), std::string::npos) << "drawn whole again";
  EXPECT_TRUE(tmux.WaitFor("zzfresh  txt")) << "the directory read again\n" << tmux.Screen();
  tmux.SendKeys({"F6"});
  ASSERT_TRUE(tmux.WaitFor("Нажмите любую клавишу")) << tmux.Screen();
  EXPECT_NE(tmux.Screen().find("utility-output"), std::string::npos) << tmux.Screen();
  tmux.SendKeys({"x"});
  ASSERT_TRUE(tmux.WaitFor("Области")) << tmux.Screen();
  tmux.SendKeys({"M-x"});
  ASSERT_TRUE(tmux.WaitFor("Вы уверены что хотите выйти?")) << tmux.Screen();
  tmux.SendKeys({"Enter"});
  // The normal end writes the state files.
  for (int waited = 0; !node.Exists("veldmark.dup") && waited < 400; ++waited)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_TRUE(node.Exists("veldmark.dup")) << tmux.Screen();
  ASSERT_TRUE(tmux.WaitForGone("Области")) << tmux.Screen();
  const std::string after = tmux.Screen();
  EXPECT_NE(after.find("utility-output"), std::string::npos) << after;
  EXPECT_EQ(after.find("любую клавишу"), std::string::npos) << "no half-overwritten pause line\n"
                                                            << after;
}

}  // namespace
}  // namespace vm::test
