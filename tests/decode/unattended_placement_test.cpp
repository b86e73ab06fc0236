// Where a decoded file goes: area directory names and file routes.
#include <gtest/gtest.h>

#include <memory>

#include "config/area_table.h"
#include "decode/file_destination.h"

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

}  // namespace
}  // namespace vm
