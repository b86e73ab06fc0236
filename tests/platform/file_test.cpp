#include "platform/file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "platform/file_system.h"
#include "platform/host_directory.h"
#include "support/platform_temp_dir.h"

namespace vm {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

long MillisecondsSince(Clock::time_point start) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// Another process that write-locks bytes [offset, offset+length) of a file, either with an
// open-file-description lock or with a classic fcntl lock as other FidoNet programs take them,
// and releases it (by exiting) after holdMs.
class LockHolder {
 public:
  LockHolder(const std::string& path, off_t offset, off_t length, int holdMs, bool classic) {
    int ready[2];
    if (pipe(ready) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      int fd = open(path.c_str(), O_RDWR);
      struct flock lock {};
      lock.l_type = F_WRLCK;
      lock.l_whence = SEEK_SET;
      lock.l_start = offset;
      lock.l_len = length;
      char ok = fcntl(fd, classic ? F_SETLK : F_OFD_SETLK, &lock) == 0 ? 'y' : 'n';
      if (write(ready[1], &ok, 1) != 1) _exit(2);
      usleep(static_cast<useconds_t>(holdMs) * 1000);
      _exit(0);
    }
    close(ready[1]);
    char ok = 'n';
    locked_ = read(ready[0], &ok, 1) == 1 && ok == 'y';
    close(ready[0]);
  }
  ~LockHolder() {
    if (pid_ > 0) {
      int status = 0;
      waitpid(pid_, &status, 0);
    }
  }
  bool Locked() const { return locked_; }

 private:
  pid_t pid_ = -1;
  bool locked_ = false;
};

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override { tree.WriteFile("base.dat", std::string(100, 'x')); }
  ScopedTempDir tree;
  std::string path = tree / "base.dat";
};

TEST_F(FileTest, LockRetriesWhileAnotherProcessHoldsTheRangeThenFails) {
  LockHolder holder(path, 0, 10, 800, false);
  ASSERT_TRUE(holder.Locked());
  File file;
  ASSERT_TRUE(file.OpenHost(path, OpenMode::ReadWrite));
  auto start = Clock::now();
  EXPECT_FALSE(file.LockRange(5, 10, 3));  // three tries, two pauses of 100 ms
  EXPECT_GE(MillisecondsSince(start), 200);
  EXPECT_LT(MillisecondsSince(start), 1500);
  EXPECT_TRUE(file.LockRange(10, 5, 1));  // the bytes next to it are free
}

TEST_F(FileTest, LockSucceedsOnceTheOtherProcessLetsGo) {
  LockHolder holder(path, 0, 0, 400, true);  // a classic lock over the whole file
  ASSERT_TRUE(holder.Locked());
  File file;
  ASSERT_TRUE(file.OpenHost(path, OpenMode::ReadWrite));
  auto start = Clock::now();
  EXPECT_TRUE(file.LockRange(50, 1));
  EXPECT_GE(MillisecondsSince(start), 300);
  EXPECT_TRUE(file.UnlockRange(50, 1));
}

TEST_F(FileTest, LockSurvivesClosingAnotherDescriptorOfTheSameFile) {
  File file;
  ASSERT_TRUE(file.OpenHost(path, OpenMode::ReadWrite));
  ASSERT_TRUE(file.LockRange(0, 10));
  {
    File other;
    ASSERT_TRUE(other.OpenHost(path, OpenMode::Read));
    // Two opens of one file in one process still exclude each other.
    EXPECT_FALSE(other.LockRange(0, 1, 1));
  }  // closing this descriptor would drop a classic fcntl lock of the process
  LockHolder intruder(path, 0, 10, 0, true);
  EXPECT_FALSE(intruder.Locked());
  ASSERT_TRUE(file.UnlockRange(0, 10));
  LockHolder afterUnlock(path, 0, 10, 0, true);
  EXPECT_TRUE(afterUnlock.Locked());
}

TEST_F(FileTest, PositionedAndSequentialIo) {
  File file;
  ASSERT_TRUE(file.OpenHost(path, OpenMode::ReadWrite));
  EXPECT_EQ(file.Size(), 100);
  EXPECT_TRUE(file.WriteAt(98, "ABCD", 4));
  EXPECT_EQ(file.Size(), 102);
  char buffer[8] = {};
  EXPECT_EQ(file.ReadAt(99, buffer, sizeof buffer), 3u);  // short at the end
  EXPECT_EQ(std::string(buffer, 3), "BCD");
  EXPECT_EQ(file.ReadAt(500, buffer, sizeof buffer), 0u);
  EXPECT_TRUE(file.Seek(1));
  EXPECT_TRUE(file.Write("yz"));
  EXPECT_EQ(file.Read(buffer, 2), 2u);
  EXPECT_EQ(std::string(buffer, 2), "xx");
  EXPECT_TRUE(file.Truncate(3));
  EXPECT_TRUE(file.Sync());
  file.Close();
  EXPECT_EQ(tree.ReadFile("base.dat"), "xyz");
}

// An unnamed file is not in its directory while written; it gets a name that is free and
// never one that is taken; dropped unnamed, it leaves nothing.
TEST_F(FileTest, UnnamedFileAppearsOnlyWhenNamedAndNeverReplaces) {
  HostDirectory dir;
  ASSERT_TRUE(dir.Open(tree.path()));
  File file;
  if (!file.CreateUnnamedIn(dir)) GTEST_SKIP() << "no unnamed files here";
  ASSERT_TRUE(file.WriteAt(0, "whole", 5));
  EXPECT_EQ(std::distance(fs::directory_iterator(tree.path()), {}), 1);  // base.dat only
  EXPECT_FALSE(file.NameIn(dir, "base.dat"));
  EXPECT_EQ(file.LastError(), EEXIST);
  EXPECT_EQ(tree.ReadFile("base.dat"), std::string(100, 'x'));
  EXPECT_FALSE(dir.HasFile("1.msg"));
  ASSERT_TRUE(file.NameIn(dir, "1.msg"));
  EXPECT_TRUE(dir.HasFile("1.msg"));
  file.Close();
  EXPECT_EQ(tree.ReadFile("1.msg"), "whole");
  ASSERT_TRUE(file.CreateUnnamedIn(dir));
  file.Close();
  EXPECT_EQ(std::distance(fs::directory_iterator(tree.path()), {}), 2);
  // A directory is not a file.
  fs::create_directory(tree / "2.msg");
  EXPECT_FALSE(dir.HasFile("2.msg"));
  EXPECT_FALSE(dir.Open(tree / "missing"));
  EXPECT_EQ(dir.LastError(), ENOENT);
}

TEST_F(FileTest, OpenModes) {
  File file;
  EXPECT_FALSE(file.OpenHost(tree / "missing", OpenMode::Read));
  EXPECT_EQ(file.LastError(), ENOENT);
  EXPECT_FALSE(file.OpenHost(tree.path(), OpenMode::Read));  // a directory is no file
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.OpenHost(path, OpenMode::CreateNew));
  EXPECT_TRUE(file.OpenHost(tree / "new", OpenMode::CreateNew));
  ASSERT_TRUE(file.OpenHost(path, OpenMode::Append));
  EXPECT_TRUE(file.Write("!"));
  file.Close();
  EXPECT_EQ(tree.ReadFile("base.dat"), std::string(100, 'x') + "!");
  ASSERT_TRUE(file.OpenHost(path, OpenMode::Create));
  EXPECT_EQ(file.Size(), 0);
  File moved = std::move(file);
  EXPECT_TRUE(moved.IsOpen());
  EXPECT_FALSE(file.IsOpen());
}

// A file the program makes for itself replaces a symbolic link at its name, however it is
// written; the file the link points to keeps its bytes. Shared files follow the link.
TEST_F(FileTest, OwnFilesReplaceASymbolicLinkInsteadOfWritingThroughIt) {
  const std::string link = tree / "own.log";
  struct Case {
    const char* what;
    std::function<bool()> write;
  };
  const Case cases[] = {
      {"Create",
       [&] {
         File f;
         return f.OpenHost(link, OpenMode::Create, Links::Replace) && f.Write("new");
       }},
      {"Append",
       [&] {
         File f;
         return f.OpenHost(link, OpenMode::Append, Links::Replace) && f.Write("new");
       }},
      {"atomic", [&] { return WriteFileAtomically(link, "new"); }},
      {"copy",
       [&] {
         tree.WriteFile("source", "new");
         return CopyFile(tree / "source", link);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const char* target : {"base.dat", "missing.dat"}) {  // also a dangling link
      fs::remove(link);
      fs::remove(tree / "missing.dat");
      fs::create_symlink(tree / target, link);
      ASSERT_TRUE(c.write());
      EXPECT_FALSE(fs::is_symlink(link));
      EXPECT_EQ(tree.ReadFile("own.log"), "new");
      EXPECT_EQ(tree.ReadFile("base.dat"), std::string(100, 'x'));
      EXPECT_FALSE(tree.Exists("missing.dat"));
    }
  }
  // Rewriting in place refuses a link rather than replacing what it does not know.
  fs::remove(link);
  fs::create_symlink(path, link);
  File file;
  EXPECT_FALSE(file.OpenHost(link, OpenMode::ReadWrite, Links::Replace));
  EXPECT_EQ(file.LastError(), ELOOP);
  ASSERT_TRUE(file.OpenHost(link, OpenMode::Append));
  EXPECT_TRUE(file.Write("!"));
  file.Close();
  EXPECT_EQ(tree.ReadFile("base.dat"), std::string(100, 'x') + "!");
}

TEST_F(FileTest, WholeFiles) {
  std::string contents;
  int error = -1;
  EXPECT_TRUE(ReadWholeFile(path, 1000, contents, error));
  EXPECT_EQ(contents, std::string(100, 'x'));
  EXPECT_EQ(error, 0);
  std::string big(200000, 'q');
  ASSERT_TRUE(WriteFileAtomically(path, big));
  EXPECT_TRUE(ReadWholeFile(path, big.size(), contents, error));
  EXPECT_EQ(contents, big);
  // One byte over the limit is refused before anything is read.
  EXPECT_FALSE(ReadWholeFile(path, big.size() - 1, contents, error));
  EXPECT_EQ(error, EFBIG);
  EXPECT_TRUE(contents.empty());
  EXPECT_FALSE(ReadWholeFile(tree / "missing", 1000, contents, error));
  EXPECT_EQ(error, ENOENT);
  EXPECT_TRUE(contents.empty());
}

// FIFOs and devices are refused at once, whatever the mode, before they can block an open or
// a read, or feed bytes without end; the null device takes writes ("NUL" in the settings).
TEST_F(FileTest, OnlyRegularFilesOpen) {
  const std::string fifo = tree / "10.msg";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    std::string path;
    OpenMode mode;
    int error;  // 0: opens
  };
  const Case cases[] = {
      {fifo, OpenMode::Read, kNotRegularFile},
      {fifo, OpenMode::ReadWrite, kNotRegularFile},
      {fifo, OpenMode::Append, kNotRegularFile},  // no reader: it would block every write
      {fifo, OpenMode::Create, kNotRegularFile},
      {"/dev/zero", OpenMode::Read, kNotRegularFile},
      {"/dev/zero", OpenMode::Append, kNotRegularFile},
      {"/dev/null", OpenMode::Read, kNotRegularFile},
      {"/dev/null", OpenMode::Append, 0},
      {"/dev/null", OpenMode::Create, 0},
      {tree.path(), OpenMode::Read, EISDIR},
  };
  for (const Case& c : cases) {
    File file;
    EXPECT_EQ(file.OpenHost(c.path, c.mode), c.error == 0) << c.path;
    EXPECT_EQ(file.LastError(), c.error) << c.path;
    if (c.error == 0) {
      EXPECT_TRUE(file.Write("goes nowhere")) << c.path;
    }
  }
  std::string contents;
  int error = 0;
  for (const char* special : {"/dev/zero", "/dev/urandom"}) {
    EXPECT_FALSE(ReadWholeFile(special, 1 << 20, contents, error)) << special;
    EXPECT_EQ(error, kNotRegularFile) << special;
  }
  EXPECT_FALSE(ReadWholeFile(fifo, 1 << 20, contents, error));
  EXPECT_EQ(error, kNotRegularFile);
  // A regular file is read and written blocking, as usual.
  File file;
  ASSERT_TRUE(file.OpenHost(path, OpenMode::ReadWrite));
  EXPECT_EQ(fcntl(file.Descriptor(), F_GETFL) & O_NONBLOCK, 0);
}

TEST_F(FileTest, AtomicReplaceKeepsPermissionsAndLeavesNoTemporaryFile) {
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_TRUE(WriteFileAtomically(path, "new contents\r\n"));
  EXPECT_EQ(tree.ReadFile("base.dat"), "new contents\r\n");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(std::distance(fs::directory_iterator(tree.path()), fs::directory_iterator()), 1);
}

TEST_F(FileTest, AFailedAtomicWriteLeavesTheOldFileWhole) {
  // A child process whose files may not grow beyond 1000 bytes: the write fails like on a
  // full disk.
  pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{1000, 1000};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(WriteFileAtomically(path, std::string(5000, 'n')) ? 1 : 0);
  }
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the write did not fail";
  EXPECT_EQ(tree.ReadFile("base.dat"), std::string(100, 'x'));
  EXPECT_EQ(std::distance(fs::directory_iterator(tree.path()), fs::directory_iterator()), 1);
  // Nor does a target in a missing directory create anything.
  EXPECT_FALSE(WriteFileAtomically(tree / "no/such/dir/file", "x"));
}

}  // namespace
}  // namespace vm
