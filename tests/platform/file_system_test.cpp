#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file.h"
#include "support/platform_temp_dir.h"
#include "text/cp866.h"

namespace vm {
namespace {

namespace fs = std::filesystem;

TEST(FileMask, DosWildcards) {
  EXPECT_TRUE(MatchesFileMask("FILE.ZIP", "*.ZIP"));
  EXPECT_TRUE(MatchesFileMask("file.zip", "*.ZiP"));
  EXPECT_TRUE(MatchesFileMask(Cp866("отчёт.txt"), Cp866("ОТЧЁТ.*")));
  EXPECT_TRUE(MatchesFileMask("README", "*.*"));  // "*.*" is every file
  EXPECT_TRUE(MatchesFileMask("A.B.C", "*.C"));
  EXPECT_TRUE(MatchesFileMask("ABC", "A?C"));
  EXPECT_FALSE(MatchesFileMask("AC", "A?C"));
  EXPECT_TRUE(MatchesFileMask("", "*"));
  EXPECT_FALSE(MatchesFileMask("FILE.ZIP", "*.RAR"));
  EXPECT_FALSE(MatchesFileMask("FILE.ZIPX", "*.ZIP"));
  EXPECT_TRUE(MatchesFileMask("AXXBXXC", "A*B*C"));
  EXPECT_FALSE(MatchesFileMask("A*C", "A\\*C"));
  EXPECT_FALSE(MatchesFileMask("AXC", "A*B"));
  EXPECT_TRUE(MatchesFileMask("A*B", "A*B"));
}

TEST(FileSystem, DirectoriesAndFilesOnProgramPaths) {
  ScopedTempDir tree;
  ScopedEnvironment drive{"VELDMARK_DRIVE_D", tree.path()};
  ASSERT_TRUE(MakeDirectories(Cp866("D:\\Входящие\\UUE")));
  EXPECT_TRUE(DirectoryExists(Cp866("d:\\входящие\\uue")));
  EXPECT_TRUE(fs::is_directory(tree / "Входящие/UUE"));
  EXPECT_TRUE(MakeDirectory("D:\\INBOX"));
  EXPECT_TRUE(MakeDirectory("D:\\INBOX"));  // already there is fine
  ASSERT_TRUE(MakeDirectories("D:\\INBOX\\F\\G"));

  tree.WriteFile("INBOX/a.txt", "12345");
  EXPECT_TRUE(FileExists("D:\\INBOX\\A.TXT"));
  EXPECT_FALSE(FileExists("D:\\INBOX"));
  EXPECT_FALSE(DirectoryExists("D:\\INBOX\\A.TXT"));
  EXPECT_EQ(FileSize("D:\\INBOX\\A.TXT"), 5);
  EXPECT_FALSE(FileSize("D:\\INBOX").has_value());

  ASSERT_TRUE(CopyFile("D:\\INBOX\\A.TXT", "D:\\INBOX\\B.TXT"));
  EXPECT_EQ(tree.ReadFile("INBOX/B.TXT"), "12345");
  EXPECT_FALSE(CopyFile("D:\\INBOX\\MISSING", "D:\\INBOX\\C.TXT"));
  EXPECT_FALSE(tree.Exists("INBOX/C.TXT"));
  ASSERT_TRUE(RenameFile("D:\\INBOX\\B.TXT", "D:\\INBOX\\a.TXT"));  // replaces a.txt
  EXPECT_EQ(tree.ReadFile("INBOX/a.txt"), "12345");
  EXPECT_FALSE(tree.Exists("INBOX/B.TXT"));
  EXPECT_TRUE(RemoveFile("d:\\inbox\\a.txt"));
  EXPECT_FALSE(RemoveFile("d:\\inbox\\a.txt"));
  EXPECT_TRUE(RemoveDirectory("D:\\INBOX\\F\\G"));
  EXPECT_FALSE(RemoveDirectory("D:\\INBOX"));  // not empty
}

TEST(FileSystem, ListingsAreSortedCp866) {
  ScopedTempDir tree;
  tree.WriteFile("b.txt", "");
  tree.WriteFile("Я.txt", "xy");
  tree.WriteFile(".hidden", "");
  tree.MakeDirectory("A");
  std::vector<DirEntry> entries = ListDirectory(tree.path());
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].name, ".hidden");
  EXPECT_TRUE(entries[0].isHidden);
  EXPECT_EQ(entries[1].name, "A");
  EXPECT_TRUE(entries[1].isDirectory);
  EXPECT_EQ(entries[2].name, "b.txt");
  EXPECT_EQ(entries[3].name, Cp866("Я.txt"));
  EXPECT_EQ(entries[3].size, 2);
  EXPECT_TRUE(ListDirectory(tree / "missing").empty());
}

TEST(FileSystem, ModificationTimes) {
  ScopedTempDir tree;
  tree.WriteFile("f", "");
  DateTime when{2021, 7, 4, 10, 20, 30};
  ASSERT_TRUE(SetFileModifiedLocal(tree / "f", when));
  auto back = FileModifiedLocal(tree / "f");
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(PackDosDateTime(*back), PackDosDateTime(when));
  ASSERT_TRUE(SetFileModified(tree / "f", 1000000000));
  EXPECT_EQ(FileModified(tree / "f"), 1000000000);
  EXPECT_FALSE(FileModified(tree / "missing").has_value());
}

TEST(FileSystem, FreeDiskSpaceAlsoForPathsStillToBeMade) {
  ScopedTempDir tree;
  int64_t free = FreeDiskSpace(tree.path());
  EXPECT_GT(free, 0);
  int64_t later = FreeDiskSpace(tree / "not/yet/made/file.zip");
  EXPECT_GT(later, 0);
  EXPECT_LT(std::abs(later - free), int64_t{64} << 20);
}

TEST(FileSystem, CurrentDirectory) {
  ScopedTempDir tree;
  tree.MakeDirectory("Мой Каталог");
  std::string saved = fs::current_path();
  fs::current_path(tree / "Мой Каталог");
  EXPECT_EQ(CurrentDirectory(), Cp866(tree / "Мой Каталог"));
  fs::current_path(saved);
}

// What entering a directory would give, found without entering it: the directory's real name,
// or nothing for what cannot be entered.
TEST(FileSystem, DirectoryToEnter) {
  ScopedTempDir tree;
  tree.MakeDirectory("Мой Каталог/sub");
  tree.WriteFile("file.txt", "x");
  fs::create_directory_symlink(tree / "Мой Каталог", tree / "link");
  const std::string saved = CurrentDirectory();
  const std::string real = Cp866(fs::canonical(tree.path()).string() + "/Мой Каталог");
  const struct {
    std::string path;
    std::optional<std::string> entered;
  } cases[] = {
      {Cp866(tree / "мой каталог"), real},
      {Cp866(tree / "Мой Каталог/sub/.."), real},
      {tree / "link", real},
      {tree / "link\\SUB", real + "/sub"},
      {tree / "missing", std::nullopt},
      {tree / "file.txt", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(DirectoryToEnter(c.path), c.entered) << c.path;
  EXPECT_EQ(CurrentDirectory(), saved) << "nothing was entered";
}

}  // namespace
}  // namespace vm
