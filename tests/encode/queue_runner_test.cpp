#include "encode/queue_runner.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "encode/section_message.h"
#include "encode/send_queue.h"
#include "posting_fixture.h"
#include "state/state_files.h"

namespace vm {
namespace {

namespace fs = std::filesystem;

class QueueRunnerTest : public ::testing::Test {
 protected:
  QueueRunnerTest() {
    settings.NAME = "Ivan Petrov";
    settings.ADDRESS = "2:5020/100";
    settings.address = NetAddress{2, 5020, 100, 0};
    paths.ProgramDir = dir.path() + "/";
    paths.TempDir = dir.path() + "/";
    dir.WriteFile("veldmark.tpl", "@SECTION\r\n");
  }

  int AddArea(const std::string& tag, uint32_t perDay, SendMode mode = SendMode::Parallel) {
    AreaEntry area;
    area.tag = tag;
    area.areaId = "F" + dir / ("areas/" + tag);
    area.SectionsPerDay = area.SectionsLeftToday = perDay;
    area.sendMode = mode;
    return areas.Append(area);
  }
  // Queues a file of `sections` sections of 2 UU lines into the area.
  int Queue(const std::string& name, int sections, const std::string& tag,
            EncodeFlags flags = kEncodeUu, const std::string& list = "") {
    if (!dir.Exists(name)) dir.WriteFile(name, test::TestData(static_cast<size_t>(90 * sections)));
    const AreaEntry& area = areas.At(areas.FindArea(tag));
    EnqueueRequest request;
    request.path = dir / name;
    request.areaId = area.areaId;
    request.templatePath = dir / "veldmark.tpl";
    request.fromName = "Ivan Petrov";
    request.toName = "All";
    request.fromAddress = "2:5020/100";
    request.flags = flags;
    request.linesPerSection = 2;
    request.sections = list;
    request.allowance = static_cast<int32_t>(area.SectionsLeftToday);
    return EnqueueFile(state.queue, request, QueueContext{settings, console, {}});
  }
  void Run() {
    QueueRun run{state, areas, settings, paths, console, today, [this] { ++saves; }, dialogs};
    ProcessQueue(run);
  }
  // The text lines of every message posted into the area, in message order.
  std::vector<std::vector<std::string>> Messages(const std::string& tag) {
    std::vector<std::vector<std::string>> messages;
    MessageBaseHandle base;
    if (!OpenMessageArea("F" + dir / ("areas/" + tag), base)) return messages;
    for (base->SeekFrom(1); base->Found(); base->SeekNext()) {
      base->LoadHeader();
      base->StartReading();
      messages.emplace_back();
      while (!base->TextEnded()) messages.back().push_back(base->NextLine(255));
    }
    CloseMessageArea(base);
    return messages;
  }
  // The section numbers posted into the area, in message order.
  std::vector<int> Posted(const std::string& tag) {
    std::vector<int> numbers;
    MessageBaseHandle base;
    if (!OpenMessageArea("F" + dir / ("areas/" + tag), base)) return numbers;
    for (base->SeekFrom(1); base->Found(); base->SeekNext()) {
      base->LoadHeader();
      base->StartReading();
      while (!base->TextEnded()) {
        const std::string line = base->NextLine(255);
        if (line.rfind("section ", 0) == 0) numbers.push_back(std::stoi(line.substr(8)));
      }
    }
    CloseMessageArea(base);
    return numbers;
  }
  int32_t Left(const std::string& tag) {
    return static_cast<int32_t>(areas.At(areas.FindArea(tag)).SectionsLeftToday);
  }

  ScopedTempDir dir;
  Settings settings;
  AreaTable areas;
  RunState state;
  ProgramPaths paths;
  FakeConsole console;
  CalendarDate today{2026, 3, 5};
  int saves = 0;
  QueueDialogs* dialogs = nullptr;  // the shell's form of the run when set
};

// The shell's side of a run, scripted: Cancel is pressed before the given check, every
// question is answered with `answer`.
class ScriptedQueueDialogs : public QueueDialogs {
 public:
  void BeginProgress(int64_t sections) override { expected = sections; }
  void StepProgress() override { ++steps; }
  void EndProgress() override { ended = true; }
  bool CancelPressed() override { return checks++ == cancelAtCheck; }
  bool AskYesNo(std::string_view question) override {
    shown.emplace_back(question);
    return answer;
  }
  void ShowError(std::string_view message) override { shown.emplace_back(message); }
  std::string UserText() override {
    ++userTexts;
    return userText;
  }

  int cancelAtCheck = -1;
  int checks = 0;
  bool answer = true;
  std::string userText;
  int64_t expected = -1;
  int steps = 0;
  bool ended = false;
  int userTexts = 0;
  std::vector<std::string> shown;
};

TEST_F(QueueRunnerTest, ReleaseInParallelAndSequentialModes) {
  AddArea("PAR", 3);
  AddArea("SEQ", 5, SendMode::Sequential);
  Queue("A.ZIP", 9, "PAR");
  Queue("S1.ZIP", 9, "SEQ");
  Queue("B.ZIP", 9, "PAR");
  Queue("S2.ZIP", 9, "SEQ");
  auto allowances = [this] {
    std::vector<int32_t> out;
    for (const QueueEntry& entry : state.queue) out.push_back(entry.allowedToday);
    return out;
  };
  ReleaseSections(state.queue, areas);
  EXPECT_EQ(allowances(), (std::vector<int32_t>{2, 5, 1, 0}));

  areas.At(1).SectionsLeftToday = 0;
  ReleaseSections(state.queue, areas);
  EXPECT_EQ(allowances(), (std::vector<int32_t>{0, 5, 0, 0}));
  // Below zero (sections sent at once beyond the limit): the parallel allowances stay.
  areas.At(1).SectionsLeftToday = static_cast<uint32_t>(-2);
  ReleaseSections(state.queue, areas);
  EXPECT_EQ(allowances(), (std::vector<int32_t>{0, 5, 0, 0}));
  areas.At(1).SectionsLeftToday = kUnlimited;
  ReleaseSections(state.queue, areas);
  EXPECT_EQ(allowances(), (std::vector<int32_t>{65535, 5, 65535, 0}));
}

// 25 sections at 10 a day: 10 today, the next 10 tomorrow; a file sent at once posts all of
// its sections and takes the area's remainder below zero.
TEST_F(QueueRunnerTest, DailyLimitOverTwoDaysAndSendingAtOnce) {
  AddArea("RU.FILES", 10);
  Queue("A.ZIP", 25, "RU.FILES");
  Run();
  std::vector<int> expected;
  for (int n = 1; n <= 10; ++n) expected.push_back(n);
  EXPECT_EQ(Posted("RU.FILES"), expected);
  ASSERT_EQ(state.queue.size(), 1u);
  EXPECT_EQ(state.queue.front().offset, 900);
  EXPECT_EQ(saves, 11) << "once before the first section, then after each";
  Run();
  EXPECT_EQ(Posted("RU.FILES").size(), 10u) << "today's sections are used up";

  state.lastRun = today;
  today = CalendarDate{2026, 3, 6};
  StartPostingDay(state, areas, today);
  Run();
  for (int n = 11; n <= 20; ++n) expected.push_back(n);
  EXPECT_EQ(Posted("RU.FILES"), expected);

  Queue("NOW.ZIP", 3, "RU.FILES", kEncodeUu | kSendImmediately);
  Run();
  EXPECT_EQ(Posted("RU.FILES").size(), 23u);
  EXPECT_EQ(Left("RU.FILES"), -3);
  EXPECT_EQ(state.queue.size(), 1u) << "A.ZIP waits for the next day";
  EXPECT_TRUE(dir.Exists("NOW.ZIP"));
  ASSERT_EQ(state.history.size(), 1u);
  EXPECT_EQ(state.history[0].fileName, "NOW.ZIP");
  EXPECT_EQ(state.history[0].totalSections, 3);
}

// The sections list "3 7" posts those two sections, each as a message of its own; the copy
// in TEMPPATH stays for further sections. A file deleted after sending goes.
TEST_F(QueueRunnerTest, SectionsListTempPathAndDeleteAfterSending) {
  AddArea("RU.FILES", kUnlimited);
  settings.TEMPPATH = dir / "temp/";
  dir.MakeDirectory("temp");
  EXPECT_EQ(Queue("A.ZIP", 9, "RU.FILES", kEncodeUu | kInsertText, "3 x 7 12"), 2);
  ASSERT_EQ(state.queue.size(), 2u);
  EXPECT_TRUE(state.queue.front().flags & kInsertText);
  EXPECT_FALSE(state.queue.back().flags & kInsertText);
  Queue("GONE.ZIP", 2, "RU.FILES", kEncodeUu | kDeleteAfterSending);
  Run();
  EXPECT_EQ(Posted("RU.FILES"), (std::vector<int>{3, 7, 1, 2}));
  EXPECT_TRUE(state.queue.empty());
  EXPECT_TRUE(dir.Exists("temp/A.ZIP"));
  EXPECT_FALSE(dir.Exists("temp/GONE.ZIP"));
  EXPECT_TRUE(dir.Exists("GONE.ZIP")) << "the original outside TEMPPATH is left alone";
}

TEST_F(QueueRunnerTest, MissingTemplateFileOrAreaAndEmptyFiles) {
  AddArea("RU.FILES", kUnlimited);
  AreaEntry bad;
  bad.tag = "BAD";
  dir.WriteFile("blocker", "a file where the area's directory would go");
  bad.areaId = "F" + dir / "blocker/area";
  areas.Append(bad);

  dir.WriteFile("EMPTY.ZIP", "");
  EXPECT_EQ(Queue("EMPTY.ZIP", 0, "RU.FILES"), 0);
  EXPECT_NE(console.output.find(Cp866(" пуст и не поставлен в очередь")), std::string::npos);

  Queue("LOST.ZIP", 2, "RU.FILES");
  fs::remove(dir / "LOST.ZIP");
  Queue("KEPT.ZIP", 2, "BAD");
  Queue("NOTPL.ZIP", 2, "RU.FILES");
  state.queue.back().templatePath = dir / "MISSING.TPL";
  Run();
  EXPECT_TRUE(Posted("RU.FILES").empty());
  ASSERT_EQ(state.queue.size(), 1u);
  EXPECT_EQ(state.queue.front().path.substr(state.queue.front().path.size() - 8), "KEPT.ZIP");
  const std::string& out = console.output;
  EXPECT_NE(out.find(Cp866("Нет доступа к ")), std::string::npos) << out;
  EXPECT_NE(out.find(Cp866("LOST.ZIP не найден")), std::string::npos) << out;
  EXPECT_NE(out.find(Cp866("MISSING.TPL не найден. Секция 1 файла ")), std::string::npos) << out;
  EXPECT_TRUE(state.history.empty()) << "nothing was posted";
}

TEST_F(QueueRunnerTest, InTheShellTheUserTextGoesIntoTheFirstSectionOnly) {
  AddArea("RU.FILES", kUnlimited);
  dir.WriteFile("veldmark.tpl", "@CUSTOMTEXT\r\n@SECTION\r\n");
  ScriptedQueueDialogs shell;
  shell.userText = "Hello\r\n\r\nworld \x8D\r\n" + std::string(300, 'x');
  dialogs = &shell;
  Queue("A.ZIP", 3, "RU.FILES", kEncodeUu | kInsertText);
  Queue("B.ZIP", 2, "RU.FILES", kEncodeUu | kSingleSection);  // section 1 only, no user text
  Run();
  EXPECT_TRUE(state.queue.empty());
  EXPECT_EQ(shell.expected, 4) << "three sections of A.ZIP and the one of B.ZIP";
  EXPECT_EQ(shell.steps, 4);
  EXPECT_TRUE(shell.ended);
  EXPECT_EQ(shell.userTexts, 1);
  EXPECT_TRUE(shell.shown.empty());
  EXPECT_TRUE(console.output.empty()) << "the shell's run prints nothing: " << console.output;
  const auto messages = Messages("RU.FILES");
  ASSERT_EQ(messages.size(), 4u);
  ASSERT_GE(messages[0].size(), 4u);
  EXPECT_EQ(std::vector<std::string>(messages[0].begin(), messages[0].begin() + 3),
            (std::vector<std::string>{"Hello", "", "world H"}))
      << "HSUBST applied";
  for (size_t i = 1; i < messages.size(); ++i)
    EXPECT_NE(messages[i].front(), "Hello") << "message " << i + 1;

  EXPECT_EQ(UserTextLines("a\rb\n\nc\n\rd", false),
            (std::vector<std::string>{"a", "b", "", "c", "d"}))
      << "CR or LF ends a line; the other half of a pair is skipped";
  EXPECT_EQ(UserTextLines("", false), std::vector<std::string>{});
  EXPECT_EQ(UserTextLines(std::string(300, 'x'), false),
            (std::vector<std::string>{std::string(255, 'x'), std::string(45, 'x')}))
      << "nothing typed is cut off";
}

TEST_F(QueueRunnerTest, InTheShellCancelDropsTheFileAndEndsTheRun) {
  AddArea("RU.FILES", kUnlimited);
  ScriptedQueueDialogs shell;
  shell.cancelAtCheck = 1;  // after the first section of A.ZIP
  dialogs = &shell;
  Queue("A.ZIP", 3, "RU.FILES", kEncodeUu | kDeleteAfterSending);
  Queue("B.ZIP", 2, "RU.FILES");
  Run();
  EXPECT_EQ(Posted("RU.FILES"), (std::vector<int>{1}));
  ASSERT_EQ(state.queue.size(), 1u) << "the run ended with the dropped file";
  EXPECT_NE(state.queue.front().path.find("B.ZIP"), std::string::npos);
  EXPECT_TRUE(dir.Exists("A.ZIP")) << "a dropped file is not deleted";
  ASSERT_EQ(shell.shown.size(), 1u);
  EXPECT_EQ(shell.shown[0], Cp866("Прервать посылку файла ") + UpCaseCp866(dir / "A.ZIP") +
                                Cp866(" и удалить его из очереди?"));

  // No keeps going; problems are boxes, not console lines.
  ScriptedQueueDialogs again;
  again.cancelAtCheck = 0;
  again.answer = false;
  dialogs = &again;
  state.queue.front().templatePath = dir / "MISSING.TPL";
  Run();
  EXPECT_TRUE(state.queue.empty());
  EXPECT_EQ(again.shown.size(), 2u);
  EXPECT_EQ(again.shown.back(),
            Cp866("Шаблон ") + dir / "MISSING.TPL" + Cp866(" не найден. Секция пропущена."));
  EXPECT_TRUE(console.output.empty()) << console.output;
}

}  // namespace
}  // namespace vm
