// /Encode and /q into *.MSG, Squish and JAM areas killed at every kind of write, rename,
// unlink, fsync and truncate they make (sampled evenly where there are many), then /q run to
// its end: every section is posted, once except at most the one in flight, the file decodes
// back byte for byte, and the area reads whole here and, for *.MSG and JAM, in crashmail.
#include <gtest/gtest.h>

#include <map>

#include "decode_node.h"
#include "kill_points.h"

namespace vm::test {
namespace {

constexpr int kSections = 6;
const std::string kData = TestBytes(90 * kSections - 20, 9);  // 2 UU lines a section

struct Killed {
  BaseKind kind;
  const char* format;          // crashmail's word for the base, or nullptr
  std::string (*crashmail)();  // the crashmail that reads it
  bool queuedFirst;            // /q of an entry queued before, else /Encode itself
  int waiting = 0;             // files queued behind it for later days (a queue beyond a page)
};

// How often each "section N of M" header occurs in the area.
std::map<int, int> SectionCounts(const std::string& areaId) {
  std::map<int, int> counts;
  MessageBaseHandle base;
  if (!OpenMessageArea(areaId, base)) return counts;
  for (base->SeekFrom(1); base->Found(); base->SeekNext()) {
    base->LoadHeader();
    base->StartReading();
    while (!base->TextEnded()) {
      const std::string line = base->NextLine(255);
      if (line.rfind("section ", 0) == 0) ++counts[std::stoi(line.substr(8))];
    }
  }
  CloseMessageArea(base);
  return counts;
}

class KilledPosting : public ::testing::TestWithParam<Killed> {};

TEST_P(KilledPosting, EverySectionOnceAndTheAreaWhole) {
  if (!KillPoints::Available()) GTEST_SKIP() << "strace is not installed";
  const Killed& killed = GetParam();
  const std::string crashmail = killed.format != nullptr ? killed.crashmail() : "";
  DecodeNode original({"LINESPERSEC 2"},
                      killed.queuedFirst ? "AREA RU.FILES\r\nSECTIONSPERDAY 1" : ";", killed.kind);
  original.node().dir().WriteFile("DATA.BIN", kData);
  // crashmail keeps its high-water mark in a *.MSG area's first message and never exports it.
  if (killed.kind.letter == 'F') original.Write("rufiles", Poster{}, "high-water mark", {"-"});
  std::vector<std::string> arguments{"/Encode", "DATA.BIN", "UU", "RU.FILES", "All", "-Immed"};
  if (killed.queuedFirst) {
    // Queued with a section a day: the first goes out now, the killed /q posts the rest.
    ASSERT_EQ(original.Run({"/Encode", "DATA.BIN", "UU", "RU.FILES", "All"}).exitCode, 0);
    // The entry's flags (line 20 of the file) get "send at once", as the queue editor sets it.
    std::string queue = original.Read("queue.lst");
    size_t at = 0;
    for (int line = 0; line < 19; ++line) at = queue.find("\r\n", at) + 2;
    const size_t end = queue.find("\r\n", at);
    queue.replace(at, end - at, std::to_string(std::stoi(queue.substr(at, end - at)) | 0x800));
    original.node().dir().WriteFile("queue.lst", queue);
    arguments = {"/q"};
  }
  for (int n = 0; n < killed.waiting; ++n) {
    const std::string name = "WAITING" + std::to_string(n) + ".BIN";
    original.node().dir().WriteFile(name, kData);
    ASSERT_EQ(original.Run({"/Encode", name, "UU", "RU.FILES", "All"}).exitCode, 0);
  }
  // Too long to be rewritten in place: the posting's progress goes to QUEUE.POS.
  if (killed.waiting > 0) {
    ASSERT_GT(original.Read("queue.lst").size(), 4096u);
  }

  ScopedTempDir scratch;
  const fs::path work = fs::path(scratch.path()) / "node";
  KillPoints points(original.Path(""), work);
  const int tried = points.Run(arguments, [&](const std::string& point) {
    SCOPED_TRACE(point);
    const ProgramRunOptions options = NodeRunOptions(work, 120);
    const ProgramRun rest = RunVeldmark({"/q"}, options);
    ASSERT_EQ(rest.exitCode, 0) << rest.output;
    const std::string areaId =
        std::string(1, killed.kind.letter) + (work / "areas/rufiles").string();
    std::map<int, int> counts = SectionCounts(areaId);
    // /Encode killed before it had queued the file posted nothing: the file is as if never
    // asked for (a section posted with the entry lost would show here as sections missing).
    if (counts.empty() && !killed.queuedFirst) return;
    int repeated = 0;
    for (int n = 1; n <= kSections; ++n) {
      EXPECT_GE(counts[n], 1) << "section " << n << " lost";
      repeated += std::max(0, counts[n] - 1);
    }
    EXPECT_LE(repeated, 1) << "more than the section in flight posted twice";
    // The files waiting for later days are all still queued, none of them posted.
    std::ifstream queueFile(work / "queue.lst", std::ios::binary);
    const std::string queue((std::istreambuf_iterator<char>(queueFile)), {});
    for (int n = 0; n < killed.waiting; ++n)
      EXPECT_NE(queue.find("WAITING" + std::to_string(n) + ".BIN"), std::string::npos) << n;
    EXPECT_TRUE(AreaReadsWhole(areaId));

    if (!crashmail.empty()) {
      CrashmailSetup setup;
      setup.binary = crashmail;
      // The program makes the base under the path as the settings spell it.
      setup.areas = {{"RU.FILES", killed.format, (work / "areas/rufiles").string(), true}};
      CrashmailNode tosser(setup);
      ASSERT_EQ(tosser.Run({"SCANAREA", "RU.FILES"}), 0) << tosser.Diagnostics();
      // Every posted message (one section each) is local and unsent: crashmail exports each.
      const size_t posted = static_cast<size_t>(kSections + repeated);
      EXPECT_EQ(tosser.TakeExported().size(), posted) << tosser.Diagnostics();
    }

    const ProgramRun decode = RunVeldmark({"/Decode", "RU.FILES", "-AnyWay"}, options);
    ASSERT_EQ(decode.exitCode, 0) << decode.output;
    std::ifstream in(work / "FILES/DATA.BIN", std::ios::binary);
    const std::string decoded((std::istreambuf_iterator<char>(in)), {});
    EXPECT_TRUE(decoded == kData) << "decoded " << decoded.size() << " bytes";
  });
  EXPECT_GT(tried, 10) << "the run was hardly ever killed: is strace working?";
  RecordProperty("kill_points", tried);
}

INSTANTIATE_TEST_SUITE_P(Bases, KilledPosting,
                         ::testing::Values(Killed{kMsgBase, "MSG", DebianCrashmail, false},
                                           Killed{kMsgBase, "MSG", DebianCrashmail, true},
                                           Killed{kSquishBase, nullptr, nullptr, false},
                                           Killed{kSquishBase, nullptr, nullptr, true},
                                           Killed{kJamBase, "JAM", JamCrashmail, false},
                                           Killed{kJamBase, "JAM", JamCrashmail, true},
                                           Killed{kMsgBase, "MSG", DebianCrashmail, true, 30}),
                         [](const auto& info) {
                           return std::string(info.param.kind.keyword) +
                                  (info.param.queuedFirst ? "_Queue" : "_Encode") +
                                  (info.param.waiting > 0 ? "_LongQueue" : "");
                         });

}  // namespace
}  // namespace vm::test
