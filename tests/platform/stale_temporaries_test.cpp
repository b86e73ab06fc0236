// Temporary files that killed runs left behind are removed; those of live writers, wherever
// they run, are not.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>

#include "platform/file.h"
#include "platform/file_system.h"
#include "support/platform_temp_dir.h"

namespace vm {
namespace {

// Sets the file's modification time `seconds` into the past.
void Age(const std::string& path, time_t seconds) {
  struct timespec times[2];
  times[0].tv_sec = std::time(nullptr) - seconds;
  times[0].tv_nsec = 0;
  times[1] = times[0];
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

constexpr time_t kTwoHours = 2 * 60 * 60;

TEST(StaleTemporaries, OnlyUnheldOldRegularFilesOfTheMaskGo) {
  ScopedTempDir dir;
  dir.WriteFile("victim", "not ours");
  for (const char* name : {"AREAS.LST.tmp111", "areas.lst.tmp222", "AREAS.LST.tmp333", "AREAS.LST",
                           "QUEUE.LST.tmp444"})
    dir.WriteFile(name, "x");
  ASSERT_EQ(mkfifo((dir / "AREAS.LST.tmp555").c_str(), 0600), 0);
  ASSERT_EQ(symlink((dir / "victim").c_str(), (dir / "AREAS.LST.tmp666").c_str()), 0);
  for (const char* name : {"victim", "AREAS.LST.tmp111", "areas.lst.tmp222", "AREAS.LST",
                           "QUEUE.LST.tmp444", "AREAS.LST.tmp666"})
    Age(dir / name, kTwoHours);
  // A writer of this very process still holds one: held counts, whoever holds it.
  File writer;
  ASSERT_TRUE(writer.OpenHost(dir / "areas.lst.tmp222", OpenMode::ReadWrite));
  ASSERT_TRUE(writer.ClaimTemporary());

  EXPECT_EQ(RemoveStaleTemporaries(dir.path(), "areas.lst.tmp*"), 1);
  EXPECT_FALSE(dir.Exists("AREAS.LST.tmp111"));
  for (const char* kept : {"areas.lst.tmp222", "AREAS.LST.tmp333", "AREAS.LST", "QUEUE.LST.tmp444",
                           "AREAS.LST.tmp555", "AREAS.LST.tmp666"})
    EXPECT_TRUE(dir.Exists(kept)) << kept;
  EXPECT_EQ(dir.ReadFile("victim"), "not ours");

  writer.Close();
  EXPECT_EQ(RemoveStaleTemporaries(dir.path(), "areas.lst.tmp*"), 1);
  EXPECT_FALSE(dir.Exists("areas.lst.tmp222"));
}

TEST(StaleTemporaries, TheTemporaryOfAKilledWriterGoesOnceItIsDead) {
  ScopedTempDir dir;
  const std::string temp = dir / "VM00C0DE.TMP";
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t writer = fork();
  if (writer == 0) {
    File file;
    bool ok = file.OpenHost(temp, OpenMode::CreateNew) && file.ClaimTemporary() &&
              file.Write("half a message");
    if (write(ready[1], ok ? "y" : "n", 1) != 1) _exit(2);
    pause();
    _exit(0);
  }
  char ok = 'n';
  ASSERT_EQ(read(ready[0], &ok, 1), 1);
  close(ready[0]);
  close(ready[1]);
  ASSERT_EQ(ok, 'y');
  Age(temp, kTwoHours);  // however old it looks, its writer is alive
  EXPECT_EQ(RemoveStaleTemporaries(dir.path(), "VM??????.TMP"), 0);
  EXPECT_TRUE(dir.Exists("VM00C0DE.TMP"));

  kill(writer, SIGKILL);
  int status = 0;
  ASSERT_EQ(waitpid(writer, &status, 0), writer);
  EXPECT_EQ(RemoveStaleTemporaries(dir.path(), "VM??????.TMP"), 1);
  EXPECT_FALSE(dir.Exists("VM00C0DE.TMP"));
}

TEST(StaleTemporaries, AnAtomicWriteRemovesThoseOfItsOwnTarget) {
  ScopedTempDir dir;
  for (const char* name : {"veldmark.dup.tmp4242", "areas.lst.tmp4242"}) {
    dir.WriteFile(name, "left by a killed run");
    Age(dir / name, kTwoHours);
  }
  ASSERT_TRUE(WriteFileAtomically(dir / "VELDMARK.DUP", "history\r\n"));
  EXPECT_FALSE(dir.Exists("veldmark.dup.tmp4242"));
  EXPECT_TRUE(dir.Exists("areas.lst.tmp4242"));
  EXPECT_EQ(dir.ReadFile("VELDMARK.DUP"), "history\r\n");
}

}  // namespace
}  // namespace vm
