// Posting from the command line: files queued with /Encode and posted at once into *.MSG,
// Squish and JAM areas come back byte for byte through /Decode; a run killed while posting
// leaves a queue from which the next /q posts every section once.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <thread>

#include "decode_node.h"

namespace vm::test {
namespace {

constexpr int kLinesPerSection = 4;

// Plain ASCII text with CR LF line ends (and one line too long for a message line) comes back
// exactly; other texts come back after the plain-text rules, which the unit tests cover.
std::string TextData(size_t size) {
  std::string text;
  for (int line = 0; text.size() < size; ++line)
    text += (line == 3 ? std::string(300, 'w') : "line " + std::to_string(line)) + "\r\n";
  return text.substr(0, size - 2) + "\r\n";
}

struct Posting {
  std::string type;
  int64_t capacity;  // input bytes per section at kLinesPerSection
};
const Posting kPostings[] = {{"UU", 45 * kLinesPerSection},
                             {"XX", 45 * kLinesPerSection},
                             {"MIME", 57 * kLinesPerSection},
                             {"TEXT", 60 * kLinesPerSection}};

class PostingRoundTrip : public ::testing::TestWithParam<BaseKind> {};

TEST_P(PostingRoundTrip, EveryEncodingAndSizeDecodesBack) {
  DecodeNode node({"LINESPERSEC " + std::to_string(kLinesPerSection)}, ";", GetParam());
  node.node().dir().WriteFile("VELDMARK.TPL",
                              "; the node's template\r\nHello, %TONAME%!\r\n@HEAD %NAME%, "
                              "%LENGTH% bytes\r\n@SUBJ %NAME% %CURRENT%/%TOTAL%\r\n@SECTION\r\n"
                              "--- %VERSION%\r\n");
  std::map<std::string, std::string> files;
  for (const Posting& posting : kPostings) {
    // One section, many, and a last section exactly full.
    for (int64_t size : {posting.capacity / 2, posting.capacity * 3, posting.capacity * 5 + 7}) {
      const std::string name = posting.type + std::to_string(size) + ".BIN";
      const std::string data = posting.type == "TEXT" ? TextData(static_cast<size_t>(size))
                                                      : TestBytes(static_cast<size_t>(size), 3);
      node.node().dir().WriteFile(name, data);
      files[name] = data;
      ProgramRun run = node.Run({"/Encode", name, posting.type, "RU.FILES", "All", "-Immed"});
      ASSERT_EQ(run.exitCode, 0) << run.output;
      EXPECT_NE(run.output.find(" ∙ " + name + " >"), std::string::npos) << run.output;
      EXPECT_NE(run.output.find("> - Ok"), std::string::npos) << run.output;
    }
  }
  EXPECT_EQ(node.Read("queue.lst").find(".BIN"), std::string::npos) << "every file posted";

  ProgramRun run = node.Run({"/Decode", "RU.FILES", "-AnyWay"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  for (const auto& [name, data] : files)
    EXPECT_TRUE(node.Read("FILES/" + name) == data) << name << "\n" << run.output;
}

INSTANTIATE_TEST_SUITE_P(Bases, PostingRoundTrip,
                         ::testing::Values(kMsgBase, kSquishBase, kJamBase),
                         [](const auto& info) { return std::string(info.param.keyword); });

// Names a decoder could not take back go out made safe, and come back under that name.
TEST(PostingNames, NamesThatCannotGoOutAsTheyAreAreMadeSafe) {
  DecodeNode node;
  const struct {
    std::string file, posted;
  } cases[] = {
      {"space file.bin", "SPACE_FI.BIN"},
      {"node_after.tgz", "NODE_AFT.TGZ"},
      {"archive.tar.gz", "ARCHIVE_.GZ"},
      {"poem.txt", "POEM.TXT"},
  };
  for (const auto& c : cases) {
    node.node().dir().WriteFile(c.file, TestBytes(300, 5));
    ProgramRun run = node.Run({"/Encode", c.file, "UU", "RU.FILES", "All", "-Immed"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string notice = "посылается как " + c.posted + "\n";
    EXPECT_EQ(Contains(run.output, notice), c.posted != "POEM.TXT") << run.output;
  }
  ProgramRun run = node.Run({"/Decode", "RU.FILES", "-AnyWay"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  for (const auto& c : cases)
    EXPECT_TRUE(node.Read("FILES/" + c.posted) == TestBytes(300, 5)) << c.posted << run.output;
}

// A *.MSG header holds no zone: the node's own postings there are still its own (zone 2), so
// that DECODEYOURS no keeps them from being decoded back even when the history forgot them.
TEST(PostingNames, OwnPostingsInAMsgAreaAreKnownAsOwn) {
  for (bool decodeYours : {false, true}) {
    DecodeNode node({decodeYours ? "DECODEYOURS yes" : "DECODEYOURS no"});
    node.node().dir().WriteFile("mine.bin", TestBytes(300, 6));
    ProgramRun run = node.Run({"/Encode", "mine.bin", "UU", "RU.FILES", "All", "-Immed"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    fs::remove(node.Path("VELDMARK.DUP"));
    fs::remove(node.Path("veldmark.dup"));
    node.AgeMessages("rufiles");
    run = node.Run({"/Decode", "RU.FILES"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(node.Exists("FILES/MINE.BIN"), decodeYours) << run.output;
  }
}

// The section numbers of the postings in a *.MSG area, in message order.
std::vector<int> PostedSections(const DecodeNode& node) {
  std::vector<int> numbers;
  for (int32_t message : node.Messages("rufiles"))
    for (const std::string& line : node.MessageLines("rufiles", message))
      if (line.rfind("section ", 0) == 0) numbers.push_back(std::stoi(line.substr(8)));
  return numbers;
}

// /Encode -Immed killed while it posts; /q then posts the rest, and each section is posted
// once, except at most the one that was being written when the kill came.
TEST(PostingKill, NextRunPostsEachSectionOnce) {
  DecodeNode node({"LINESPERSEC 2"});
  const std::string data = TestBytes(90 * 400, 5);
  node.node().dir().WriteFile("BIG.BIN", data);

  const ProgramRunOptions options = NodeRunOptions(node.node(), std::nullopt);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (chdir(options.workDir.c_str()) != 0) _exit(126);
    for (const auto& [name, value] : options.environment) setenv(name.c_str(), value.c_str(), 1);
    freopen("/dev/null", "r", stdin);
    freopen("/dev/null", "w", stdout);
    execl(VELDMARK_BINARY, VELDMARK_BINARY, "/Encode", "BIG.BIN", "UU", "RU.FILES", "All", "-Immed",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (node.Messages("rufiles").size() < 50 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the posting ended before it could be killed";
  const size_t postedBeforeKill = node.Messages("rufiles").size();
  ASSERT_LT(postedBeforeKill, 400u);

  ProgramRun run = node.Run({"/q"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  std::vector<int> numbers = PostedSections(node);
  std::map<int, int> times;
  for (int n : numbers) ++times[n];
  int repeated = 0;
  for (int n = 1; n <= 400; ++n) {
    EXPECT_GE(times[n], 1) << "section " << n;
    repeated += times[n] - 1;
  }
  EXPECT_LE(repeated, 1);
  EXPECT_EQ(node.Read("queue.lst").find("BIG.BIN"), std::string::npos);

  ASSERT_EQ(node.Run({"/Decode", "RU.FILES", "-AnyWay"}).exitCode, 0);
  EXPECT_TRUE(node.Read("FILES/BIG.BIN") == data);
}

}  // namespace
}  // namespace vm::test
