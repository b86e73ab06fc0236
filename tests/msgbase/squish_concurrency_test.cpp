// Two processes writing into one Squish base at the same time: each takes the lock on byte 0
// of the data file, re-reads the header and index under it, and must neither lose nor damage
// a message of the other.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>

#include "msgbase/squish/squish_base.h"
#include "squish_test_support.h"

namespace vm {
namespace {

using namespace squish_test;

constexpr int kMessagesEach = 120;

// A text that names its writer and number and whose length varies, so frames differ in size.
std::string TextFor(char writer, int n) {
  std::string head = std::string(1, writer) + "-" + std::to_string(n) + "\r";
  return head +
         std::string(static_cast<size_t>((n * 977) % 3000), static_cast<char>('a' + n % 26)) + "\r";
}

// Writes kMessagesEach messages; the parent also deletes every third message it wrote, so
// that freed frames are reused by both processes. Returns 0 when every call succeeded.
int WriteAll(const std::string& path, char writer, std::vector<int>* deleted) {
  SquishBase base;
  base.SetAreaPath(path);
  if (base.Open() != 0) return 1;
  for (int n = 0; n < kMessagesEach; ++n) {
    bool batch = n % 10 == 0;  // now and then several writes under one lock
    if (batch && !base.Lock()) return 2;
    if (WriteSimpleMessage(base, std::string(1, writer), TextFor(writer, n)) != 0) return 3;
    if (deleted && n % 3 == 2) {
      // The message just written is current; delete it again.
      base.DeleteMessage();
      if (base.Status() != 0) return 4;
      deleted->push_back(n);
    }
    if (batch && !base.Unlock()) return 5;
  }
  return base.Close();
}

TEST(SquishConcurrency, TwoWritersLoseNothing) {
  ScopedTempDir dir;
  {
    SquishBase base;
    base.SetAreaPath(dir / "AREA");
    ASSERT_EQ(base.Create(0, 0), 0);
  }
  int start[2];
  ASSERT_EQ(pipe(start), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    char go;
    if (read(start[0], &go, 1) != 1) _exit(9);
    _exit(WriteAll((dir / "AREA"), 'C', nullptr));
  }
  // Both start at the same moment.
  ASSERT_EQ(write(start[1], "g", 1), 1);
  close(start[0]);
  close(start[1]);
  std::vector<int> deleted;
  int parentResult = WriteAll((dir / "AREA"), 'P', &deleted);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(parentResult, 0);

  ChainReport chains = CheckChains(dir / "AREA");
  ASSERT_EQ(chains.problem, "");
  std::map<std::string, int> seen;
  SquishBase base;
  base.SetAreaPath(dir / "AREA");
  ASSERT_EQ(base.Open(), 0);
  for (base.SeekFrom(0); base.Found(); base.SeekNext()) {
    base.LoadHeader();
    base.StartReading();
    std::string text;
    for (unsigned char c = base.NextChar(); !base.TextEnded(); c = base.NextChar())
      text += static_cast<char>(c);
    ++seen[text];
  }
  std::map<std::string, int> expected;
  for (int n = 0; n < kMessagesEach; ++n) {
    expected[TextFor('C', n)] = 1;
    if (std::find(deleted.begin(), deleted.end(), n) == deleted.end())
      expected[TextFor('P', n)] = 1;
  }
  EXPECT_EQ(seen.size(), expected.size());
  EXPECT_TRUE(seen == expected);
}

}  // namespace
}  // namespace vm
