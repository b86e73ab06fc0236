// files.bbs entries in both layouts and the three FILESBBS modes.
#include "decode/files_bbs.h"

#include <gtest/gtest.h>

#include "support/platform_temp_dir.h"

namespace vm {
namespace {

using Lines = std::vector<std::string>;

TEST(FilesBbsList, StandardAndAllFixLayouts) {
  const Lines description{"First line", "second", ""};
  EXPECT_EQ(FilesBbsEntry("PACK.ZIP", description, false),
            (Lines{"PACK.ZIP      First line", "              second", "              "}));
  EXPECT_EQ(FilesBbsEntry("PACK.ZIP", description, true),
            (Lines{"PACK.ZIP First line", ">second", ">"}));
  // A name of the full width still gets no separating blank in the standard layout: the
  // field is 14 characters, cut or filled.
  EXPECT_EQ(FilesBbsEntry("ABCDEFGHIJKLMNOP", {"d"}, false), (Lines{"ABCDEFGHIJKLMNd"}));
  EXPECT_EQ(FilesBbsEntry("A.ZIP", {}, true), (Lines{"A.ZIP "}));
}

TEST(FilesBbsList, AppendKeepsRewriteEmptiesOffTouchesNothing) {
  ScopedTempDir dir;
  dir.WriteFile("files.bbs", "OLD.ZIP       old\r\n");
  {
    FilesBbs list;
    ASSERT_TRUE(list.Open(dir.path(), FilesBbsMode::Append));
    list.WriteEntry("NEW.ZIP", {"new", "more"}, false);
  }
  EXPECT_EQ(dir.ReadFile("files.bbs"),
            "OLD.ZIP       old\r\nNEW.ZIP       new\r\n              more\r\n");
  {
    FilesBbs list;
    ASSERT_TRUE(list.Open(dir.path(), FilesBbsMode::Rewrite));
    list.WriteLine("; header");
  }
  EXPECT_EQ(dir.ReadFile("files.bbs"), "; header\r\n");
  {
    FilesBbs list;
    ASSERT_TRUE(list.Open(dir.path(), FilesBbsMode::Off));
    list.WriteLine("; lost");
  }
  EXPECT_EQ(dir.ReadFile("files.bbs"), "; header\r\n");

  ScopedTempDir empty;
  FilesBbs list;
  ASSERT_TRUE(list.Open(empty.path(), FilesBbsMode::Off));
  EXPECT_FALSE(empty.Exists("files.bbs"));
  ASSERT_TRUE(list.Open(empty.path(), FilesBbsMode::Append));
  EXPECT_TRUE(empty.Exists("files.bbs"));
}

}  // namespace
}  // namespace vm
