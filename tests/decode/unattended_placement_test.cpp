// Where a decoded file goes and what happens to a file of the same name: area directory
// names, file routes, and the DUPES policies.
#include <gtest/gtest.h>

#include <memory>

#include "config/area_table.h"
#include "decode/duplicate_policy.h"
#include "decode/file_destination.h"
#include "platform/run_log.h"
#include "support/platform_temp_dir.h"
#include "text/cp866.h"

namespace vm {
namespace {

TEST(UnattendedPlacement, AreaDirectoryNames) {
  EXPECT_EQ(AreaDirectoryName("RU.UUENCODE", false), "RUUUENCO.DE");
  EXPECT_EQ(AreaDirectoryName("RU.FILES", false), "RUFILES");
  EXPECT_EQ(AreaDirectoryName("FIDO 7.BINARIES.LONG", false), "FIDO7BIN.ARI");
  EXPECT_EQ(AreaDirectoryName("RU.UUENCODE", true), "RU.UUENCODE");
  // Tags are the sysop's texts, but each becomes exactly one directory under ROOT.
  for (bool longNames : {false, true}) {
    for (const char* tag : {"..", "../../ETC", "A\\B", "C:X", "."}) {
      const std::string name = AreaDirectoryName(tag, longNames);
      EXPECT_FALSE(name.empty()) << tag;
      EXPECT_EQ(name.find_first_of("/\\:"), std::string::npos) << tag;
      EXPECT_NE(name, "..");
      EXPECT_NE(name, ".");
    }
  }
}

TEST(UnattendedPlacement, FirstMatchingRouteWins) {
  AreaEntry area;
  EXPECT_EQ(DecodeDirFor(area, "A.ZIP"), "");
  area.fileRoutes = std::make_shared<const std::vector<FileRoute>>(
      std::vector<FileRoute>{{"*.ZIP", "C:\\ZIPS"}, {"A*.*", "C:\\A"}, {"README", "C:\\DOCS"}});
  EXPECT_EQ(DecodeDirFor(area, "pack.zip"), "C:\\ZIPS");
  EXPECT_EQ(DecodeDirFor(area, "A.ZIP"), "C:\\ZIPS");
  EXPECT_EQ(DecodeDirFor(area, "ARC.RAR"), "C:\\A");
  EXPECT_EQ(DecodeDirFor(area, "README"), "C:\\DOCS");
  EXPECT_EQ(DecodeDirFor(area, "B.RAR"), "");
}

TEST(UnattendedPlacement, RelativePathsAreTakenFromTheBase) {
  EXPECT_EQ(AbsoluteFrom("out\\files", "/node"), "/node\\out\\files");
  EXPECT_EQ(AbsoluteFrom("C:\\FILES", "/node"), "C:\\FILES");
  EXPECT_EQ(AbsoluteFrom("\\srv\\files", "/node"), "\\srv\\files");
  EXPECT_EQ(AbsoluteFrom("/srv/files", "/node"), "/srv/files");
}

class DuplicatePolicy : public ::testing::Test {
 protected:
  DuplicatePolicy() {
    dir.WriteFile("pack.zip", "old");
    dir.WriteFile("abcdefgh.$$$", "new");
    log.SetPath(dir / "run.log");
  }
  std::string Place(DupesPolicy policy) {
    return PlaceDecodedFile(policy, dir.path(), "abcdefgh.$$$", "PACK.ZIP", log);
  }
  std::string Log() const { return Cp866ToUtf8(dir.ReadFile("run.log")); }

  ScopedTempDir dir;
  RunLog log;
};

TEST_F(DuplicatePolicy, DeleteKeepsTheOldFile) {
  const std::string kept = Place(DupesPolicy::Delete);
  EXPECT_EQ(dir.ReadFile("pack.zip"), "old");
  EXPECT_FALSE(dir.Exists("abcdefgh.$$$"));
  EXPECT_EQ(kept, dir.path() + "\\PACK.ZIP");
  EXPECT_NE(Log().find("      Оставлен старый файл\r\n"), std::string::npos) << Log();
}

TEST_F(DuplicatePolicy, MoveReplacesAnOlderFileInDupes) {
  dir.WriteFile("DUPES/PACK.ZIP", "older");
  const std::string moved = Place(DupesPolicy::Move);
  EXPECT_EQ(dir.ReadFile("pack.zip"), "old");
  EXPECT_EQ(dir.ReadFile("DUPES/PACK.ZIP"), "new");
  EXPECT_FALSE(dir.Exists("abcdefgh.$$$"));
  EXPECT_EQ(moved, dir.path() + "\\DUPES\\PACK.ZIP");
  EXPECT_NE(Log().find("      Перемещен в \\DUPES\r\n"), std::string::npos) << Log();
}

TEST_F(DuplicatePolicy, OverwriteReplacesTheOldFile) {
  Place(DupesPolicy::Overwrite);
  EXPECT_FALSE(dir.Exists("pack.zip"));
  EXPECT_EQ(dir.ReadFile("PACK.ZIP"), "new");
  EXPECT_NE(Log().find("    Записан новый файл\r\n"), std::string::npos) << Log();
}

TEST_F(DuplicatePolicy, NewNameIsSimplyRenamed) {
  dir.WriteFile("x.$$$", "bytes");
  PlaceDecodedFile(DupesPolicy::Delete, dir.path(), "x.$$$", "OTHER.ZIP", log);
  EXPECT_EQ(dir.ReadFile("OTHER.ZIP"), "bytes");
  EXPECT_FALSE(dir.Exists("x.$$$"));
  EXPECT_NE(Log().find("    Записан новый файл\r\n"), std::string::npos);
}

}  // namespace
}  // namespace vm
