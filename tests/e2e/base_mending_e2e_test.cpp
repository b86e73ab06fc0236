// Bases that a killed run left half changed, mended by the next run that may write to them.
// /q posting a queued file, and /Encode posting one at once, into a Hudson board are killed
// (SIGKILL) at every write, pwrite, rename, unlink, fsync and ftruncate they make; after each
// kill the board reads the same through our reader and the independent one, and the next /q
// (or the /Encode again, when the kill came before anything was queued or posted) posts every
// section once (the one being written may come twice), decodable byte for byte, with the board's
// counts, numbers and export list right. And counts that a kill left stale in a JAM or Squish area
// are put right by /All with DELETEDECODED though it has nothing to delete.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

#include "decode_node.h"
#include "kill_point.h"
#include "support/hudson_reference.h"
#include "text/little_endian.h"

namespace vm::test {
namespace {

std::string ReadFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

constexpr int kBoard = 7;
const std::string kOthersText = "A message of another board.\r";

// The messages of the board that are not deleted, as the independent reader finds them.
std::vector<HudsonMessage> LiveMessages(const std::string& dir, int board) {
  std::vector<HudsonMessage> live;
  for (const HudsonMessage& m : ReadHudsonMessages(dir))
    if (m.area == board && m.msgNum != 0xFFFF && !(m.msgAttr & 0x01)) live.push_back(m);
  return live;
}

// Right after a kill: the independent reader, walking the headers, and ours, walking the
// index, find the same messages of the board.
void CheckReadersAgree(const std::string& dir) {
  std::vector<std::string> theirs;
  try {
    for (const HudsonMessage& m : LiveMessages(dir, kBoard)) theirs.push_back(m.text);
  } catch (const std::exception& e) {
    ADD_FAILURE() << "the independent reader failed: " << e.what();
    return;
  }
  std::vector<std::string> ours;
  MessageBaseHandle base;
  ASSERT_TRUE(OpenMessageArea("H007" + dir, base));
  for (base->SeekFrom(1); base->Found(); base->SeekNext()) {
    base->LoadHeader();
    base->StartReading();
    std::string text;
    for (unsigned char c = base->NextChar(); !base->TextEnded(); c = base->NextChar()) text += c;
    ours.push_back(text);
  }
  CloseMessageArea(base);
  EXPECT_EQ(ours, theirs);
}

// After the run to the end: every section once (the one in flight at most twice), the other
// board untouched, the counts those of the messages, no number twice, every message listed
// for export, and the file decodes back.
void CheckPostedOnce(const fs::path& node, const std::string& data, int sections) {
  const std::string dir = (node / "areas/hudson").string();
  std::map<int, int> times;
  std::map<uint16_t, int> numbers;
  const std::vector<HudsonMessage> live = LiveMessages(dir, kBoard);
  for (const HudsonMessage& m : live) {
    ++numbers[m.msgNum];
    const std::string text = "\r" + m.text;
    for (size_t at = text.find("\rsection "); at != std::string::npos;
         at = text.find("\rsection ", at + 1))
      ++times[std::stoi(text.substr(at + 9))];
  }
  int repeated = 0;
  for (int n = 1; n <= sections; ++n) {
    EXPECT_GE(times[n], 1) << "section " << n;
    repeated += std::max(times[n] - 1, 0);
  }
  EXPECT_LE(repeated, 1);
  for (const auto& [number, count] : numbers) EXPECT_EQ(count, 1) << "number " << number;
  const std::vector<HudsonMessage> others = LiveMessages(dir, 3);
  ASSERT_EQ(others.size(), 1u);
  EXPECT_EQ(others[0].text, kOthersText);

  const HudsonInfo info = ReadHudsonInfo(dir);
  EXPECT_EQ(info.areaActive[kBoard - 1], live.size());
  EXPECT_EQ(info.active, live.size() + 1);
  for (const auto& [number, count] : numbers) EXPECT_LE(number, info.highMsg);
  const std::vector<HudsonMessage> all = ReadHudsonMessages(dir);
  const std::vector<uint16_t> listed = ReadHudsonList(dir + "/ECHOMAIL.BBS");
  for (size_t record = 0; record < all.size(); ++record) {
    if (all[record].area != kBoard || all[record].msgNum == 0xFFFF) continue;
    EXPECT_NE(std::find(listed.begin(), listed.end(), record), listed.end())
        << "record " << record << " not listed for export";
  }
  EXPECT_EQ(ReadFileBytes(node / "queue.lst").find("DATA.BIN"), std::string::npos);

  const ProgramRun decoded = RunVeldmark({"/Decode", "RU.HUDSON", "-AnyWay"}, NodeRunOptions(node));
  ASSERT_EQ(decoded.exitCode, 0) << decoded.output;
  EXPECT_TRUE(ReadFileBytes(node / "FILES/DATA.BIN") == data) << decoded.output;
}

const std::vector<std::string> kEncodeNow = {"/Encode",   "DATA.BIN", "UU",
                                             "RU.HUDSON", "All",      "-Immed"};

// The killed command: /q posting the file queued before, or /Encode posting it at once.
struct KilledPosting {
  const char* name;
  bool queuedBefore;
  std::vector<std::string> arguments;
};

class KilledHudsonPosting : public ::testing::TestWithParam<KilledPosting> {};

TEST_P(KilledHudsonPosting, EveryKillPointLeavesABaseThatReadsAndPostsEachSectionOnce) {
  if (!StraceAvailable()) GTEST_SKIP() << "strace is not installed";
  DecodeNode original({"LINESPERSEC 10", "AREA HUDSON RU.HUDSON 007areas\\hudson"});
  original.node().dir().MakeDirectory("areas/hudson");
  const std::string data = TestBytes(900, 21);  // two sections of 450 bytes
  original.node().dir().WriteFile("DATA.BIN", data);
  const std::string dir = original.Path("areas/hudson");
  if (GetParam().queuedBefore) {
    // Queued while the board cannot be written to (MSGINFO.BBS alone is half a base, refused):
    // the queue keeps the file, and the runs below post it.
    WriteFileBytes(dir + "/MSGINFO.BBS", std::string(406, '\0'));
    const ProgramRun queued = original.Run(kEncodeNow);
    ASSERT_TRUE(Contains(queued.output, "файлы базы не согласованы (код 5000)")) << queued.output;
    ASSERT_NE(original.Read("queue.lst").find("DATA.BIN"), std::string::npos);
    fs::remove(dir + "/MSGINFO.BBS");
  }
  CreateHudsonBase(dir);
  HudsonMessage other;
  other.area = 3;
  other.text = kOthersText;
  AppendHudsonMessage(dir, other);

  ScopedTempDir scratch;
  const fs::path node = fs::path(scratch.path()) / "node";
  int points = 0;
  for (const char* call : {"write", "pwrite64", "rename", "unlink", "fsync", "ftruncate"}) {
    for (int n = 1; n <= 400; ++n) {
      const std::string point = std::string(call) + " #" + std::to_string(n);
      SCOPED_TRACE(point);
      fs::remove_all(node);
      fs::copy(original.Path(""), node, fs::copy_options::recursive);
      const ProgramRun killed =
          RunKilledAtCall(call, n, GetParam().arguments, NodeRunOptions(node));
      if (killed.exitCode == 0) break;  // fewer such calls: every one was tried
      ++points;
      CheckReadersAgree((node / "areas/hudson").string());
      // The queue goes on with what it holds; a posting killed before it queued the file
      // posted nothing of it, and the sysop gives the command again.
      const bool queued = ReadFileBytes(node / "queue.lst").find("DATA.BIN") != std::string::npos;
      const bool nothingPosted = LiveMessages((node / "areas/hudson").string(), kBoard).empty();
      const ProgramRun again =
          RunVeldmark(queued || !nothingPosted ? std::vector<std::string>{"/q"} : kEncodeNow,
                      NodeRunOptions(node));
      ASSERT_EQ(again.exitCode, 0) << again.output;
      CheckPostedOnce(node, data, 2);
      if (HasFailure()) return;
    }
  }
  EXPECT_GT(points, 20) << "the run was hardly ever killed: is strace working?";
  RecordProperty("kill_points", points);
}

INSTANTIATE_TEST_SUITE_P(Commands, KilledHudsonPosting,
                         ::testing::Values(KilledPosting{"QueuedFile", true, {"/q"}},
                                           KilledPosting{"EncodeAtOnce", false, kEncodeNow}),
                         [](const auto& info) { return std::string(info.param.name); });

// Where each kind keeps its count of messages in its first file, and the file's name.
struct CountField {
  BaseKind kind;
  const char* file;
  std::vector<size_t> counts;  // offsets of 32-bit counts of the messages
  size_t modCounter;           // offset of a counter that must move on a change; 0: none
};

class StaleCounts : public ::testing::TestWithParam<CountField> {};

TEST_P(StaleCounts, ARunThatMayWriteMendsThemThoughItWritesNothing) {
  const CountField& field = GetParam();
  DecodeNode node({"DELETEDECODED yes"}, ";", field.kind);
  node.Write("rufiles", Poster{}, "Hello", {"Nothing to decode here."});
  node.Write("rufiles", Poster{}, "Again", {"Nor here."});
  const std::string path = node.Path(field.file);
  std::string bytes = ReadFileBytes(path);
  const uint32_t modCounter = field.modCounter ? GetLe32(bytes, field.modCounter) : 0;
  for (size_t offset : field.counts) PutLe32(bytes, offset, 3);  // one too many: a kill's
  WriteFileBytes(path, bytes);
  std::map<std::string, uintmax_t> sizes;
  for (const auto& entry : fs::directory_iterator(node.Path("areas")))
    if (entry.is_regular_file()) sizes[entry.path().string()] = entry.file_size();

  const ProgramRun run = node.Run({"/All"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  bytes = ReadFileBytes(path);
  for (size_t offset : field.counts) EXPECT_EQ(GetLe32(bytes, offset), 2u) << offset;
  if (field.modCounter != 0) {
    EXPECT_GT(GetLe32(bytes, field.modCounter), modCounter);
  }
  for (const auto& [file, size] : sizes) EXPECT_EQ(fs::file_size(file), size) << file;
}

INSTANTIATE_TEST_SUITE_P(Bases, StaleCounts,
                         ::testing::Values(CountField{kJamBase, "areas/rufiles.jhr", {12}, 8},
                                           CountField{kSquishBase, "areas/rufiles.SQD", {4, 8}, 0}),
                         [](const auto& info) { return std::string(info.param.kind.keyword); });

}  // namespace
}  // namespace vm::test
