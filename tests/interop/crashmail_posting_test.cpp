// Our postings leave the node: crashmail scans the *.MSG or JAM area a posting went into,
// exports every section as echomail (the messages are local and not yet sent), and uudeview
// decodes what crashmail packed to the original bytes.
#include <gtest/gtest.h>

#include <cstdlib>

#include "e2e/decode_node.h"

namespace vm::test {
namespace {

struct ScannedBase {
  BaseKind kind;
  const char* format;
  std::string (*crashmail)();
};

class CrashmailScansOurPostings : public ::testing::TestWithParam<ScannedBase> {};

TEST_P(CrashmailScansOurPostings, EverySectionIsExportedAndDecodesBack) {
  const ScannedBase& scanned = GetParam();
  const std::string binary = scanned.crashmail();
  if (binary.empty()) GTEST_SKIP() << "no crashmail for " << scanned.format;
  if (std::system("command -v uudeview >/dev/null 2>&1") != 0) GTEST_SKIP() << "no uudeview";

  DecodeNode node({"LINESPERSEC 10"}, ";", scanned.kind);
  // crashmail keeps its high-water mark in a *.MSG area's 1.msg and never exports it.
  if (scanned.kind.letter == 'F') node.Write("rufiles", Poster{}, "high-water mark", {"-"});
  const std::string data = TestBytes(2000, 3);
  node.node().dir().WriteFile("file.bin", data);
  const ProgramRun run = node.Run({"/Encode", "file.bin", "UU", "RU.FILES", "All", "-Immed"});
  ASSERT_EQ(run.exitCode, 0) << run.output;

  CrashmailSetup setup;
  setup.binary = binary;
  // The program creates the base under the path as the settings spell it.
  setup.areas = {{"RU.FILES", scanned.format, node.Path("areas/rufiles"), true}};
  CrashmailNode crashmail(setup);
  ASSERT_EQ(crashmail.Run({"SCANAREA", "RU.FILES"}), 0) << crashmail.Diagnostics();
  const std::vector<PacketMessage> exported = crashmail.TakeExported();
  ASSERT_EQ(exported.size(), 5u) << crashmail.Diagnostics();  // 2000 bytes, 450 a section

  std::string command = "uudeview -i -o -q -p '" + node.Path("out") + "/'";
  node.node().dir().MakeDirectory("out");
  for (size_t i = 0; i < exported.size(); ++i) {
    EXPECT_EQ(BodyLines(exported[i].body).front(), "AREA:RU.FILES");
    std::string text;
    for (const std::string& line : TextLines(exported[i].body)) text += line + "\n";
    const std::string name = "packed/" + std::to_string(i) + ".txt";
    node.node().dir().WriteFile(name, text);
    command += " '" + node.Path(name) + "'";
  }
  ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0);
  EXPECT_TRUE(node.Read("out/file.bin") == data);
}

INSTANTIATE_TEST_SUITE_P(Bases, CrashmailScansOurPostings,
                         ::testing::Values(ScannedBase{kMsgBase, "MSG", DebianCrashmail},
                                           ScannedBase{kJamBase, "JAM", JamCrashmail}),
                         [](const auto& info) { return std::string(info.param.format); });

}  // namespace
}  // namespace vm::test
