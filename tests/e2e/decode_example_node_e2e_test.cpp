// The bundled example node as README runs it: the sample areas generated from their sources,
// then /All from the node's directory, then /Decode of the excluded netmail area.
#include <gtest/gtest.h>

#include "decode_node.h"

namespace vm::test {
namespace {

TEST(ExampleNode, AllDecodesTheSamplePostings) {
  ScopedTempDir copy;
  fs::copy(fs::path(VELDMARK_SOURCE_DIR) / "examples", copy.path(), fs::copy_options::recursive);
  for (const char* left :
       {"node/OUT", "node/VELDMARK.LOG", "node/veldmark.dup", "node/areas.lst", "node/queue.lst"})
    fs::remove_all(copy / left);
  ASSERT_EQ(RunCommand("perl %1", {copy / "make_example_node.pl"}, {.hideOutput = true}), 0);

  ProgramRunOptions options;
  options.workDir = copy / "node";
  options.environment = {{"VELDMARK_HOME", "."}};
  options.unsetEnvironment = {"TEMP"};
  ProgramRun run = RunVeldmark({"/All"}, options);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  for (const char* line :
       {"    VMTOOLS.ZIP          [3/3] - Ok\n", "    HELLO.TXT            [2/2] - Ok\n",
        "    POEM.TXT             [2/2] - Ok\n", "    FAQ.TXT              [2/2] - Ok\n",
        "  Найдено файлов: 6  Раскодировано: 4\n", "  Всего раскодировано 4 файлов.\n"})
    EXPECT_TRUE(Contains(run.output, line)) << line << run.output;
  EXPECT_EQ(copy.ReadFile("node/OUT/FILES/RUFILES/HELLO.TXT"),
            copy.ReadFile("node/sources/hello.txt"));
  EXPECT_EQ(copy.ReadFile("node/OUT/FILES/RUFILES/POEM.TXT"),
            copy.ReadFile("node/sources/poem.txt"));
  EXPECT_FALSE(copy.Exists("node/OUT/FILES/RUFILES/PARTIAL.ZIP"));
  EXPECT_TRUE(copy.Exists("node/OUT/FILES/RUFILES/VMTOOLS.dsc"));
  if (fs::exists("/usr/bin/unzip")) {
    EXPECT_TRUE(Contains(copy.ReadFile("node/OUT/FILES/files.bbs"),
                         "VMTOOLS.ZIP   VMTOOLS 1.0 - example tools for a FidoNet node\r\n"));
  }

  run = RunVeldmark({"/Decode", "netmail"}, options);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(copy.ReadFile("node/OUT/FILES/NETMAIL/VERSE.TXT"),
            copy.ReadFile("node/sources/poem.txt"));
}

}  // namespace
}  // namespace vm::test
