#include "platform/host_path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/file.h"
#include "platform/file_system.h"
#include "support/platform_temp_dir.h"
#include "text/cp866.h"

namespace vm {
namespace {

namespace fs = std::filesystem;

// A temporary tree mapped as drive C:.
class HostPathTest : public ::testing::Test {
 protected:
  ScopedTempDir tree;
  ScopedEnvironment driveC{"VELDMARK_DRIVE_C", tree.path() + "//"};
};

TEST_F(HostPathTest, DriveVariablesAndBothSeparators) {
  tree.MakeDirectory("Fido/Msgs");
  EXPECT_EQ(HostPath("C:\\FIDO\\MSGS"), tree / "Fido/Msgs");
  EXPECT_EQ(HostPath("c:/fido\\msgs\\"), tree / "Fido/Msgs");
  EXPECT_EQ(HostPath("C:"), tree.path());
  EXPECT_EQ(HostPath("C:fido"), tree / "Fido");  // drive-relative reads as from the root

  ScopedEnvironment unset{"VELDMARK_DRIVE_Q", std::nullopt};
  EXPECT_EQ(HostPath("Q:\\NO_SUCH_DIR_VM\\A"), "/NO_SUCH_DIR_VM/A");
  EXPECT_EQ(HostPath("\\NO_SUCH_DIR_VM"), "/NO_SUCH_DIR_VM");
}

TEST_F(HostPathTest, ExactNameFirstThenTheFirstInByteOrder) {
  for (const char* name : {"readme", "Readme", "README"})
    tree.WriteFile(std::string("d/") + name, name);
  EXPECT_EQ(HostPath("C:\\D\\readme"), tree / "d/readme");
  EXPECT_EQ(HostPath("C:\\D\\Readme"), tree / "d/Readme");
  EXPECT_EQ(HostPath("C:\\D\\ReadMe"), tree / "d/README");  // "README" < "Readme" < "readme"
}

TEST_F(HostPathTest, MissingComponentsKeepTheCaseWritten) {
  tree.MakeDirectory("Fido");
  EXPECT_EQ(HostPath("C:\\FIDO\\NewDir\\Sub\\File.Txt"), tree / "Fido/NewDir/Sub/File.Txt");
  ASSERT_TRUE(MakeDirectories("C:\\FIDO\\NewDir\\Sub"));
  EXPECT_TRUE(fs::is_directory(tree / "Fido/NewDir/Sub"));
  EXPECT_FALSE(fs::exists(tree / "FIDO"));
}

TEST_F(HostPathTest, CyrillicNamesAreUtf8OnDiskAndFoundFromCp866) {
  tree.WriteFile("Файлы/Отчёт.txt", "old");
  EXPECT_EQ(HostPath(Cp866("C:\\ФАЙЛЫ\\ОТЧЁТ.TXT")), tree / "Файлы/Отчёт.txt");

  File created;
  ASSERT_TRUE(created.Open(Cp866("C:\\файлы\\Новый Файл.ТХТ"), OpenMode::Create));
  created.Close();
  EXPECT_TRUE(fs::exists(tree / "Файлы/Новый Файл.ТХТ"));
  EXPECT_EQ(HostPath(Cp866("c:/ФАЙЛЫ/новый файл.тхт")), tree / "Файлы/Новый Файл.ТХТ");

  std::vector<std::string> names;
  for (const DirEntry& entry : ListDirectory(Cp866("C:\\Файлы"))) names.push_back(entry.name);
  EXPECT_EQ(names, (std::vector<std::string>{Cp866("Новый Файл.ТХТ"), Cp866("Отчёт.txt")}));
}

TEST_F(HostPathTest, NullDevice) {
  EXPECT_EQ(HostPath("NUL"), "/dev/null");
  EXPECT_EQ(HostPath("nul:"), "/dev/null");
  EXPECT_EQ(HostPath("C:\\FIDO\\Nul"), "/dev/null");
  EXPECT_NE(HostPath("C:\\NULL"), "/dev/null");
  EXPECT_NE(HostPath("C:\\NUL.TXT"), "/dev/null");
  File null;
  ASSERT_TRUE(null.Open("NUL", OpenMode::Append));
  EXPECT_TRUE(null.Write("nothing"));
}

TEST_F(HostPathTest, DotsStayInsideTheDrive) {
  tree.MakeDirectory("A/B");
  EXPECT_EQ(HostPath("C:\\A\\.\\B\\..\\B"), tree / "A/B");
  EXPECT_EQ(HostPath("C:\\..\\..\\etc\\passwd"), tree / "etc/passwd");
  EXPECT_EQ(HostPath("\\..\\NO_SUCH_DIR_VM"), "/NO_SUCH_DIR_VM");
}

TEST_F(HostPathTest, RelativePathsStartInTheCurrentDirectory) {
  tree.MakeDirectory("Work/Sub");
  std::string saved = fs::current_path();
  fs::current_path(tree / "Work");
  EXPECT_EQ(HostPath("SUB\\x"), tree / "Work/Sub/x");
  EXPECT_EQ(HostPath("..\\WORK"), tree / "Work");
  EXPECT_EQ(ProgramPathFromHost(fs::current_path().string()), CurrentDirectory());
  fs::current_path(saved);
}

TEST_F(HostPathTest, TextStopsAtANulByte) {
  tree.MakeDirectory("Dir");
  EXPECT_EQ(HostPath(std::string("C:\\DIR") + '\0' + "\\..\\..\\x"), tree / "Dir");
}

TEST_F(HostPathTest, CachedListingsNoticeChangesMadeBehindTheirBack) {
  tree.MakeDirectory("Data");
  // Each round changes the directory right after it was listed, usually within one tick of
  // the file system's clock.
  for (int round = 0; round < 50; ++round) {
    std::string name = "f" + std::to_string(round) + ".txt";
    std::string upper = "F" + std::to_string(round) + ".TXT";
    EXPECT_EQ(HostPath("C:\\DATA\\" + upper), tree / ("Data/" + upper));
    tree.WriteFile("Data/" + name, "x");
    EXPECT_EQ(HostPath("C:\\DATA\\" + upper), tree / ("Data/" + name)) << round;
    fs::rename(tree / ("Data/" + name), tree / ("Data/g" + name));
    EXPECT_EQ(HostPath("C:\\DATA\\" + upper), tree / ("Data/" + upper)) << round;
  }
}

TEST_F(HostPathTest, ChangesByAnotherProcessAreSeen) {
  tree.WriteFile("Shared/old.msg", "");
  EXPECT_EQ(HostPath("C:\\SHARED\\OLD.MSG"), tree / "Shared/old.msg");
  std::string command = "cd '" + (tree / "Shared") + "' && mv old.msg Old.Msg.bak && : > oLd.MsG";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(HostPath("C:\\SHARED\\OLD.MSG"), tree / "Shared/oLd.MsG");
}

TEST(PathParts, SplitAndSlashes) {
  PathParts parts = SplitPath("C:\\FIDO\\FILE.TAR.GZ");
  EXPECT_EQ(parts.dir, "C:\\FIDO\\");
  EXPECT_EQ(parts.name, "FILE.TAR");
  EXPECT_EQ(parts.ext, ".GZ");
  parts = SplitPath("C:NAME");
  EXPECT_EQ(parts.dir, "C:");
  EXPECT_EQ(parts.name, "NAME");
  EXPECT_EQ(parts.ext, "");
  EXPECT_EQ(SplitPath("..").name, "..");
  EXPECT_EQ(WithTrailingSlash("C:\\FIDO"), "C:\\FIDO\\");
  EXPECT_EQ(WithTrailingSlash("/tmp/"), "/tmp/");
  EXPECT_EQ(WithTrailingSlash(""), "\\");
  EXPECT_EQ(WithoutTrailingSlash("C:\\FIDO\\\\"), "C:\\FIDO");
  EXPECT_EQ(WithoutTrailingSlash("\\"), "\\");
  EXPECT_EQ(HostParentDirectory("/a/b"), "/a");
  EXPECT_EQ(HostParentDirectory("/a"), "/");
  EXPECT_EQ(HostParentDirectory("a"), ".");
}

}  // namespace
}  // namespace vm
