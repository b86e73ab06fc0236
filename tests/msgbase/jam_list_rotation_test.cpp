// ECHOMAIL.JAM taken away by a tosser while a long posting writes into the base: another
// process keeps renaming the list aside (leaving it missing, recreating it, or putting a new
// file in its place by a rename) and reads each file it took a while later, then deletes it.
// Every message's line must be in exactly one of the files the tosser read or in the list left
// at the end: a line written into a file after the tosser read it is lost.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "msgbase/jam_fixture.h"

namespace vm::jamtest {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kMessages = 2000;
// A posting goes on past kMessages, up to this many, until the tosser made kRounds rounds.
constexpr int kMostMessages = 200000;
constexpr int kRounds = 6;
// How long the tosser takes before it reads a file it took.
constexpr auto kReadDelay = std::chrono::milliseconds(150);

// Writes a new file; with `exclusive`, only when there is none yet, and appending (a writer
// may add its line to the file as soon as it exists).
void WriteText(const fs::path& path, const std::string& text, bool exclusive = false) {
  std::FILE* file = std::fopen(path.c_str(), exclusive ? "abx" : "wb");
  if (file == nullptr) return;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

// The tosser: until `stop` appears, takes the list in one of three ways, round after round,
// and reads what it took after kReadDelay into read.N (deleting the file it took); at the stop
// it reads the rest at once. Returns the rounds made.
int Tosser(const fs::path& dir) {
  const fs::path list = dir / "ECHOMAIL.JAM";
  std::deque<std::pair<Clock::time_point, int>> taken;
  auto read = [&](int round) {
    const fs::path file = dir / ("taken." + std::to_string(round));
    WriteText(dir / ("read." + std::to_string(round)), ReadBytes(file));
    fs::remove(file);
  };
  int round = 0;
  for (bool stopping = false; !stopping;) {
    stopping = fs::exists(dir / "stop");
    const fs::path aside = dir / ("taken." + std::to_string(round));
    bool took = false;
    switch (round % 3) {
      case 0:  // removed: the next writer makes it again
        took = ::rename(list.c_str(), aside.c_str()) == 0;
        break;
      case 1:  // removed and made again at once, with a line of another program
        took = ::rename(list.c_str(), aside.c_str()) == 0;
        if (took) WriteText(list, "/other/base 1\r\n", true);
        break;
      case 2:  // replaced by a rename over it
        WriteText(dir / "new.tmp", "/other/base 2\r\n");
        // (Only a list it took: one it replaced unread would lose the lines in it.)
        took = ::link(list.c_str(), aside.c_str()) == 0;
        if (took) ::rename((dir / "new.tmp").c_str(), list.c_str());
        break;
    }
    if (took) taken.emplace_back(Clock::now(), round++);
    while (!taken.empty() && (stopping || Clock::now() - taken.front().first > kReadDelay)) {
      read(taken.front().second);
      taken.pop_front();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
  }
  return round;
}

TEST_F(JamFixture, ListLinesSurviveATosserTakingTheListAway) {
  const fs::path dir = fs::path(BasePath()).parent_path();
  const pid_t tosser = fork();
  ASSERT_GE(tosser, 0);
  if (tosser == 0) _exit(std::min(Tosser(dir), 255));

  // Posted as the queue runner does: the base locked for the whole series.
  const auto tookRounds = [&] {
    const std::string round = std::to_string(kRounds - 1);
    return fs::exists(dir / ("taken." + round)) || fs::exists(dir / ("read." + round));
  };
  ASSERT_TRUE(base_->Lock());
  int messages = 0;
  while (messages < kMessages || (messages < kMostMessages && !tookRounds())) {
    const int n = ++messages;
    Draft draft;
    draft.text = "message " + std::to_string(n) + "\r";
    ASSERT_EQ(Post(*base_, draft), 0) << n;
  }
  base_->Unlock();
  WriteText(dir / "stop", "");
  int status = 0;
  ASSERT_EQ(waitpid(tosser, &status, 0), tosser);
  ASSERT_TRUE(WIFEXITED(status));
  const int rounds = WEXITSTATUS(status);
  EXPECT_GE(rounds, kRounds) << "the tosser hardly took the list while the posting ran";

  std::map<std::string, int> seen;
  std::string all;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename();
    if (name.rfind("read.", 0) == 0 || name == "ECHOMAIL.JAM") all += ReadBytes(entry.path());
  }
  std::istringstream lines(all);
  for (std::string line; std::getline(lines, line);) ++seen[line];
  for (int n = 1; n <= messages; ++n) {
    const std::string line = BasePath() + " " + std::to_string(n) + "\r";
    EXPECT_EQ(seen[line], 1) << line;
  }
}

}  // namespace
}  // namespace vm::jamtest
