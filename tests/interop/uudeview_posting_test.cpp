// Our postings read by another decoder: uudeview joins the UU and XX sections posted into a
// *.MSG area, and decodes a one-part MIME posting, to the original bytes. (It cannot join the
// parts of a multi-part MIME posting, which repeat the inner headers in every part as other
// installations expect; our own decoder joins those, see the end-to-end tests.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "e2e/decode_node.h"

namespace vm::test {
namespace {

// The texts of the area's messages, one file each with LF line ends, in message order.
std::vector<std::string> ExportMessages(const DecodeNode& node, const std::string& directory) {
  std::vector<std::string> files;
  for (int32_t number : node.Messages("rufiles")) {
    std::string text;
    for (const std::string& line : node.MessageLines("rufiles", number)) text += line + "\n";
    const std::string name = directory + "/" + std::to_string(number) + ".txt";
    node.node().dir().WriteFile(name, text);
    files.push_back(node.Path(name));
  }
  return files;
}

TEST(UudeviewReadsOurPostings, UuXxAndOnePartMime) {
  if (std::system("command -v uudeview >/dev/null 2>&1") != 0) GTEST_SKIP() << "no uudeview";
  DecodeNode node({"LINESPERSEC 10"});
  const std::string big = TestBytes(3000, 7), small = TestBytes(400, 9);
  const struct {
    std::string name, type, data;
  } postings[] = {{"uu.bin", "UU", big}, {"xx.bin", "XX", big}, {"MIME.BIN", "MIME", small}};
  for (const auto& posting : postings) {
    node.node().dir().WriteFile(posting.name, posting.data);
    ProgramRun run = node.Run({"/Encode", posting.name, posting.type, "RU.FILES", "All", "-Immed"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
  }
  node.node().dir().MakeDirectory("uudeview");
  std::string command = "uudeview -i -o -q -p '" + node.Path("uudeview") + "/'";
  for (const std::string& file : ExportMessages(node, "export")) command += " '" + file + "'";
  ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0);
  for (const auto& posting : postings)
    EXPECT_TRUE(node.Read("uudeview/" + posting.name) == posting.data) << posting.name;
}

}  // namespace
}  // namespace vm::test
