// /All with DELETEDECODED killed at every write, rename and unlink it makes (strace's fault
// injection sends SIGKILL at the Nth call of one kind), then run again to its end: over *.MSG,
// Squish and JAM areas, no posting may be lost, none decoded twice, no temporary file left,
// and the area must read back whole.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "decode_node.h"
#include "kill_point.h"

namespace vm::test {
namespace {

// More calls of one kind than a run of this node makes: the enumeration stops well before.
constexpr int kMostCalls = 400;

const std::string kFirst = TestBytes(3000, 11);
const std::string kSecond = TestBytes(1800, 12);

std::string ReadFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Time passes before the next run: a temporary that a killed run left is a minute old by then.
void AgeTemporaries(const fs::path& node) {
  for (const auto& entry : fs::recursive_directory_iterator(node))
    if (entry.path().extension() == ".$$$")
      fs::last_write_time(entry.path(),
                          fs::last_write_time(entry.path()) - std::chrono::minutes(2));
}

// What must hold after the killed run and one whole run after it.
void CheckRecovered(const fs::path& node, const std::string& areaId, const std::string& point) {
  SCOPED_TRACE(point);
  EXPECT_EQ(ReadFileBytes(node / "FILES" / "FIRST.BIN"), kFirst);
  EXPECT_EQ(ReadFileBytes(node / "FILES" / "SECOND.BIN"), kSecond);
  EXPECT_FALSE(fs::exists(node / "FILES" / "DUPES")) << "decoded twice";
  const std::string list = ReadFileBytes(node / "FILES" / "files.bbs");
  for (const char* name : {"FIRST.BIN", "SECOND.BIN"})
    EXPECT_EQ(list.find(name), list.rfind(name)) << name << " listed twice";
  for (const auto& entry : fs::recursive_directory_iterator(node))
    EXPECT_NE(entry.path().extension(), ".$$$") << entry.path();
  EXPECT_TRUE(AreaReadsWhole(areaId));
}

class KilledDecode : public ::testing::TestWithParam<BaseKind> {};

TEST_P(KilledDecode, NoKillPointLosesAPosting) {
  if (!StraceAvailable()) GTEST_SKIP() << "strace is not installed";
  DecodeNode original({"DELETEDECODED yes", "FILESBBS append"}, ";", GetParam());
  original.Post("rufiles", Poster{}, UuSections(kFirst, "first.bin", 20));
  original.Post("rufiles", Poster{}, UuSections(kSecond, "second.bin", 20));
  original.AgeMessages("rufiles");
  ScopedTempDir scratch;
  const fs::path node = fs::path(scratch.path()) / "node";

  int points = 0;
  for (const char* call : {"write", "pwrite64", "rename", "unlink"}) {
    for (int n = 1; n <= kMostCalls; ++n) {
      fs::remove_all(node);
      fs::copy(original.Path(""), node, fs::copy_options::recursive);
      const std::string areaId =
          std::string(1, GetParam().letter) + (node / "areas/rufiles").string();
      const ProgramRun killed = RunKilledAtCall(call, n, {"/All"}, NodeRunOptions(node));
      if (killed.exitCode == 0) break;  // the run makes fewer such calls: all were tried
      ++points;
      AgeTemporaries(node);
      const ProgramRun again = RunVeldmark({"/All"}, NodeRunOptions(node));
      ASSERT_EQ(again.exitCode, 0) << again.output;
      CheckRecovered(node, areaId, std::string(call) + " #" + std::to_string(n));
      if (HasFailure()) return;
    }
  }
  EXPECT_GT(points, 10) << "the run was hardly ever killed: is strace working?";
  RecordProperty("kill_points", points);
}

INSTANTIATE_TEST_SUITE_P(Bases, KilledDecode, ::testing::Values(kMsgBase, kSquishBase, kJamBase),
                         [](const auto& info) { return std::string(info.param.keyword); });

}  // namespace
}  // namespace vm::test
