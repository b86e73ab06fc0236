// The daily limit with more than one file queued for an area: in parallel and in sequental mode,
// with a file that finishes early, one that overrides the limit, and files whose allowance is
// 0. Whatever the mix, an area never gets more sections in a day than its limit. And the last
// section of a file is the last one a sections list may name.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "encode/queue_runner.h"
#include "encode/send_queue.h"
#include "msgbase/message_base.h"
#include "support/fake_console.h"
#include "support/platform_temp_dir.h"

namespace vm {
namespace {

constexpr int32_t kLinesPerSection = 2;
constexpr size_t kSectionBytes = 45 * kLinesPerSection;  // UU

// A node with one *.MSG area that files are queued for and posted into.
class PostingNode {
 public:
  PostingNode(uint32_t perDay, SendMode mode) {
    settings_.NAME = "Ivan Petrov";
    settings_.ADDRESS = "2:5020/100";
    settings_.address = NetAddress{2, 5020, 100, 0};
    paths_.ProgramDir = paths_.TempDir = dir_.path() + "/";
    dir_.WriteFile("veldmark.tpl", "@SECTION\r\n");
    AreaEntry area;
    area.tag = "RU.FILES";
    area.areaId = "F" + dir_ / "area";
    area.SectionsPerDay = area.SectionsLeftToday = perDay;
    area.sendMode = mode;
    areas_.Append(area);
  }

  // Queues a file of `sections` sections as the encode dialog would: with the area's remaining
  // sections as its allowance, or with its own when it overrides the limit.
  int Queue(const std::string& name, int sections, EncodeFlags extra = 0,
            const std::string& list = "") {
    dir_.WriteFile(name, std::string(kSectionBytes * static_cast<size_t>(sections), 'x'));
    EnqueueRequest request;
    request.path = dir_ / name;
    request.areaId = areas_.At(1).areaId;
    request.templatePath = dir_ / "veldmark.tpl";
    request.fromName = "Ivan Petrov";
    request.toName = "All";
    request.fromAddress = "2:5020/100";
    request.flags = kEncodeUu | extra;
    request.linesPerSection = kLinesPerSection;
    request.sections = list;
    request.allowance = (extra & kLimitOverride) ? 10 : static_cast<int32_t>(Left());
    return EnqueueFile(state_.queue, request, QueueContext{settings_, console_, {}});
  }

  void Run() {
    QueueRun run{state_, areas_, settings_, paths_, console_, CalendarDate{2026, 3, 5}, {}};
    ProcessQueue(run);
  }

  int32_t Left() const { return static_cast<int32_t>(areas_.At(1).SectionsLeftToday); }

  // From the "section N of M of file NAME" line of every message: the section numbers posted
  // of each file, and the text of each message by file and section.
  std::map<std::string, std::vector<int>> Posted() {
    std::map<std::string, std::vector<int>> posted;
    texts_.clear();
    MessageBaseHandle base;
    if (!OpenMessageArea(areas_.At(1).areaId, base)) return posted;
    for (base->SeekFrom(1); base->Found(); base->SeekNext()) {
      base->LoadHeader();
      base->StartReading();
      std::string text, name;
      int number = 0;
      while (!base->TextEnded()) {
        const std::string line = base->NextLine(255);
        text += line + "\n";
        if (line.rfind("section ", 0) != 0) continue;
        std::istringstream words(line);
        std::string skip;
        words >> skip >> number >> skip >> skip >> skip >> skip >> name;
      }
      posted[name].push_back(number);
      texts_[name + " " + std::to_string(number)] = text;
    }
    CloseMessageArea(base);
    return posted;
  }
  const std::string& Text(const std::string& nameAndNumber) { return texts_[nameAndNumber]; }
  const SendQueue& Queued() const { return state_.queue; }

 private:
  ScopedTempDir dir_;
  Settings settings_;
  AreaTable areas_;
  RunState state_;
  ProgramPaths paths_;
  FakeConsole console_;
  std::map<std::string, std::string> texts_;
};

struct QueuedFile {
  const char* name;
  int sections;
  EncodeFlags extra = 0;
  bool afterFirstRun = false;  // queued once a first run has used the day's sections
};

struct PolicyCase {
  const char* what;
  uint32_t perDay;
  SendMode mode;
  std::vector<QueuedFile> files;
  std::map<std::string, int> posted;  // sections of each file posted today
};

TEST(QueuePolicy, NoAreaGetsMoreSectionsInADayThanItsLimit) {
  const SendMode par = SendMode::Parallel, seq = SendMode::Sequential;
  const PolicyCase cases[] = {
      {"parallel, two files", 3, par, {{"a", 5}, {"b", 5}}, {{"a", 2}, {"b", 1}}},
      {"parallel, the first file finishes early",
       5,
       par,
       {{"a", 1}, {"b", 5}, {"c", 5}},
       {{"a", 1}, {"b", 2}, {"c", 2}}},
      {"parallel, a file overriding the limit between two others",
       4,
       par,
       {{"a", 1}, {"o", 5, kLimitOverride}, {"b", 5}},
       {{"a", 1}, {"o", 2}, {"b", 1}}},
      {"parallel, unlimited, a file overriding the limit",
       kUnlimited,
       par,
       {{"o", 5, kLimitOverride}, {"a", 3}},
       {{"o", 5}, {"a", 3}}},
      {"parallel, nothing left today", 0, par, {{"a", 2}, {"b", 2}}, {}},
      {"parallel, a file queued after the day's sections are used",
       2,
       par,
       {{"a", 2}, {"b", 3, 0, true}},
       {{"a", 2}}},
      {"sequental, two files", 3, seq, {{"a", 5}, {"b", 5}}, {{"a", 3}}},
      {"sequental, the first file finishes early",
       3,
       seq,
       {{"a", 1}, {"b", 5}, {"c", 5}},
       {{"a", 1}, {"b", 2}}},
      {"sequental, a file overriding the limit first",
       3,
       seq,
       {{"o", 5, kLimitOverride}, {"a", 5}},
       {{"o", 3}}},
      {"sequental, a file queued after the day's sections are used",
       2,
       seq,
       {{"a", 2}, {"b", 3, 0, true}},
       {{"a", 2}}},
  };
  for (const PolicyCase& c : cases) {
    SCOPED_TRACE(c.what);
    PostingNode node(c.perDay, c.mode);
    for (const QueuedFile& f : c.files)
      if (!f.afterFirstRun) node.Queue(f.name, f.sections, f.extra);
    node.Run();
    for (const QueuedFile& f : c.files)
      if (f.afterFirstRun) node.Queue(f.name, f.sections, f.extra);
    node.Run();
    node.Run();  // a later run on the same day adds nothing
    std::map<std::string, int> posted;
    int total = 0;
    for (const auto& [name, numbers] : node.Posted()) {
      posted[name] = static_cast<int>(numbers.size());
      total += static_cast<int>(numbers.size());
    }
    EXPECT_EQ(posted, c.posted);
    EXPECT_LE(total, static_cast<int>(c.perDay));
    EXPECT_EQ(node.Left(), c.perDay == kUnlimited ? static_cast<int32_t>(kUnlimited)
                                                  : static_cast<int32_t>(c.perDay) - total);
  }
}

// A file of five sections: a list may name sections 1 to 5, and 5 is the last section, with
// the end of the data; 0 and 6 are no sections of the file.
TEST(QueuePolicy, SectionsListReachesTheLastSectionAndNoFurther) {
  PostingNode node(kUnlimited, SendMode::Parallel);
  EXPECT_EQ(node.Queue("five", 5, 0, "6 5 0 1"), 2);
  ASSERT_EQ(node.Queued().size(), 2u);
  EXPECT_EQ(node.Queued().front().offset, static_cast<int32_t>(4 * kSectionBytes));
  EXPECT_EQ(node.Queued().back().offset, 0);
  EXPECT_EQ(node.Queue("none", 5, 0, "6 0"), 0);
  node.Run();
  EXPECT_TRUE(node.Queued().empty());
  const auto posted = node.Posted();
  ASSERT_EQ(posted.count("five"), 1u);
  EXPECT_EQ(posted.at("five"), (std::vector<int>{5, 1}));
  const std::string& last = node.Text("five 5");
  EXPECT_NE(last.find("section 5 of 5 of file five"), std::string::npos) << last;
  EXPECT_NE(last.find("\n`\nend\n"), std::string::npos) << last;
  EXPECT_NE(last.find("entire input file"), std::string::npos) << last;
}

}  // namespace
}  // namespace vm
