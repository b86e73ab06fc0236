#include "platform/key_input.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "text/cp866.h"

namespace vm {
namespace {

struct Pipe {
  Pipe() { EXPECT_EQ(pipe(fds), 0); }
  ~Pipe() {
    close(fds[0]);
    if (fds[1] >= 0) close(fds[1]);
  }
  void Send(const std::string& text) {
    EXPECT_EQ(write(fds[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  void CloseWriter() {
    close(fds[1]);
    fds[1] = -1;
  }
  int fds[2] = {-1, -1};
};

TEST(KeyInput, PipedCharactersAreReadAsTheyComeAndTheEndAnswersEsc) {
  Pipe pipe;
  KeyInput keys(pipe.fds[0]);
  EXPECT_FALSE(keys.IsTerminal());
  pipe.Send("Yn\n" + std::string("д"));  // UTF-8 from a script
  pipe.Send("\xA4");                     // and a CP866 byte as it stands
  pipe.CloseWriter();
  EXPECT_EQ(keys.WaitKey(), 'Y');
  EXPECT_EQ(keys.PollKey(), -1);  // polls never eat piped answers
  EXPECT_EQ(keys.WaitKey(), 'n');
  EXPECT_EQ(keys.WaitKey(), '\n');
  EXPECT_EQ(keys.WaitKey(), 0xA4);
  EXPECT_EQ(keys.WaitKey(), 0xA4);
  EXPECT_EQ(keys.WaitKey(), 27);
  EXPECT_EQ(keys.WaitKey(), 27);
}

TEST(KeyInput, AUtf8LetterSplitAcrossWritesIsOneKey) {
  Pipe pipe;
  KeyInput keys(pipe.fds[0]);
  std::thread writer([&] {
    pipe.Send("\xD0");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    pipe.Send("\x96");
  });
  EXPECT_EQ(keys.WaitKey(), static_cast<unsigned char>(Cp866("Ж")[0]));
  writer.join();
}

TEST(KeyInput, ASilentPipeGivesUpAfterItsTimeout) {
  Pipe pipe;  // the writing end stays open and nobody writes
  KeyInput keys(pipe.fds[0], 100);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(keys.WaitKey(), 27);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
}

// A pseudo-terminal stands in for the user's terminal.
class KeyInputTerminal : public ::testing::Test {
 protected:
  void SetUp() override {
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
      GTEST_SKIP() << "no pseudo-terminals here";
    ASSERT_EQ(tcgetattr(slave, &before), 0);
  }
  void TearDown() override {
    if (master >= 0) close(master);
    if (slave >= 0) close(slave);
  }
  void Type(const std::string& text) {
    ASSERT_EQ(write(master, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  bool SettingsRestored() {
    termios after{};
    tcgetattr(slave, &after);
    return after.c_lflag == before.c_lflag && after.c_cc[VMIN] == before.c_cc[VMIN];
  }
  int master = -1;
  int slave = -1;
  termios before{};
};

TEST_F(KeyInputTerminal, KeysNeedNoEnterAndComeBackAsCp866) {
  KeyInput keys(slave);
  EXPECT_TRUE(keys.IsTerminal());
  Type("y");  // no line end: a terminal in line mode would hold it back
  EXPECT_EQ(keys.WaitKey(), 'y');
  EXPECT_TRUE(SettingsRestored());
  Type("ё");
  EXPECT_EQ(keys.WaitKey(), 0xF1);
  EXPECT_TRUE(SettingsRestored());
}

TEST_F(KeyInputTerminal, PollKeyNeverBlocks) {
  KeyInput keys(slave);
  EXPECT_EQ(keys.PollKey(), -1);
  Type("q");
  // The key arrives once the pseudo-terminal has passed it on: poll until then, however long
  // that takes on a busy machine.
  int key = -1;
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (key == -1 && std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::yield();
    key = keys.PollKey();
  }
  EXPECT_EQ(key, 'q');
  EXPECT_EQ(keys.PollKey(), -1);
  EXPECT_TRUE(SettingsRestored());
}

TEST_F(KeyInputTerminal, FunctionKeySequencesAndCtrlCAnswerEsc) {
  KeyInput keys(slave);
  Type("\033[A");  // cursor up: Esc, and the rest of the sequence is dropped
  EXPECT_EQ(keys.WaitKey(), 27);
  // Ctrl-C typed while the wait is on comes as a key, not as a signal.
  std::thread typist([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    Type("\003");
  });
  EXPECT_EQ(keys.WaitKey(), 27);
  typist.join();
  Type("n");
  EXPECT_EQ(keys.WaitKey(), 'n');
  EXPECT_TRUE(SettingsRestored());
}

}  // namespace
}  // namespace vm
