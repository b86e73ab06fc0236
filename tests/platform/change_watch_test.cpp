#include "platform/change_watch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/platform_temp_dir.h"

namespace vm {
namespace {

namespace fs = std::filesystem;

// A descriptor closed at the end of the scope.
struct Opened {
  explicit Opened(const fs::path& path, int flags) : fd(::open(path.c_str(), flags)) {}
  ~Opened() {
    if (fd >= 0) ::close(fd);
  }
  int fd;
};

TEST(ChangeWatch, AFileIsSeenRenamedLinkedOrRemoved) {
  ScopedTempDir dir;
  dir.WriteFile("list", "x");
  Opened file(dir / "list", O_RDONLY);
  ChangeWatch watch;
  EXPECT_FALSE(watch.Collect().certain);  // not started
  ASSERT_TRUE(watch.Start(file.fd));
  ChangeWatch::Changes quiet = watch.Collect();
  EXPECT_TRUE(quiet.certain);
  EXPECT_FALSE(quiet.any);

  const auto after = [&](auto change) {
    change();
    const ChangeWatch::Changes changes = watch.Collect();
    EXPECT_TRUE(changes.certain);
    return changes.any && !watch.Collect().any;  // each change told once
  };
  EXPECT_TRUE(after([&] { fs::rename(dir / "list", dir / "aside"); }));
  EXPECT_TRUE(after([&] { fs::create_hard_link(dir / "aside", dir / "list"); }));
  EXPECT_TRUE(after([&] { fs::remove(dir / "aside"); }));
  EXPECT_FALSE(after([&] { dir.WriteFile("other", "y"); }));
}

TEST(ChangeWatch, ADirectoryTellsTheNamesMadeInIt) {
  ScopedTempDir dir;
  dir.WriteFile("area/old.msg", "x");
  dir.WriteFile("elsewhere.tmp", "x");
  Opened area(dir / "area", O_PATH | O_DIRECTORY);
  ChangeWatch watch;
  ASSERT_TRUE(watch.Start(area.fd));
  dir.WriteFile("area/2.MSG", "x");
  fs::rename(dir / "elsewhere.tmp", dir / "area/3.Msg");
  fs::remove(dir / "area/old.msg");  // removals are not asked for
  const ChangeWatch::Changes changes = watch.Collect();
  EXPECT_TRUE(changes.certain);
  EXPECT_EQ(changes.names, (std::vector<std::string>{"2.MSG", "3.Msg"}));
}

TEST(ChangeWatch, StartingOnAnotherFileForgetsTheFirst) {
  ScopedTempDir dir;
  dir.WriteFile("first", "x");
  dir.WriteFile("second", "x");
  Opened first(dir / "first", O_RDONLY);
  Opened second(dir / "second", O_RDONLY);
  ChangeWatch watch;
  ASSERT_TRUE(watch.Start(first.fd));
  ASSERT_TRUE(watch.Start(second.fd));
  fs::rename(dir / "first", dir / "first.old");
  ChangeWatch::Changes changes = watch.Collect();
  EXPECT_TRUE(changes.certain);
  EXPECT_FALSE(changes.any);
  fs::rename(dir / "second", dir / "second.old");
  EXPECT_TRUE(watch.Collect().any);
}

}  // namespace
}  // namespace vm
