// The send-queue window: its list lines, the details and progress bar of the focused entry,
// and the two buttons that act without closing it.
#include "shell/queue_window.h"

#include <gtest/gtest.h>

#include "config/area_table.h"
#include "config/settings.h"
#include "shell/commands.h"
#include "shell/shell_menu.h"
#include "text/cp866.h"
#include "tui/application.h"
#include "tui/fake_backend.h"
#include "tui/keys.h"

namespace vm::shell {
namespace {

namespace key = tui::key;

QueueEntry Entry(const std::string& name, const std::string& areaId,
                 EncodeFlags flags = kEncodeUu) {
  QueueEntry entry;
  entry.postedName = name;
  entry.path = "/nonexistent/" + name;
  entry.areaId = areaId;
  entry.flags = flags;
  entry.toName = "All";
  entry.fromName = "Ivan Petrov";
  entry.origAddress = NetAddress{2, 5020, 9999, 0};
  entry.destAddress = NetAddress{2, 5020, 9999, 0};
  entry.linesPerSection = 120;
  return entry;
}

TEST(QueueWindowText, ListLinesAndBars) {
  EXPECT_EQ(QueueListLine(Entry("A.ZIP", "F")), "A.ZIP            ");
  EXPECT_EQ(QueueListLine(Entry("VERYLONGNAME.ZIP", "F", kSendImmediately)),
            "VERYLONGNAME.ZIP\xFB");

  const std::string dots(25, '\xFA');
  const std::string squares(25, '\xFE');
  EXPECT_EQ(QueueBarText(0, 1000), "[" + dots.substr(0, 11) + "0%" + dots.substr(0, 12) + "]");
  EXPECT_EQ(QueueBarText(500, 1000), "[" + squares.substr(0, 11) + "50%" + dots.substr(0, 11) + "]")
      << "12 of 25 cells";
  EXPECT_EQ(QueueBarText(1000, 1000),
            "[" + squares.substr(0, 10) + "100%" + squares.substr(0, 11) + "]");
  EXPECT_EQ(QueueBarText(0, 0), QueueBarText(0, 1000)) << "a file that is gone shows an empty bar";
  EXPECT_EQ(QueueBarText(5000, 1000), QueueBarText(1000, 1000));
}

TEST(QueueWindowText, DetailsOfAnEntry) {
  AreaTable areas;
  AreaEntry area;
  area.tag = "RU.FILES";
  area.displayName = "Russian files";
  area.areaId = "FC:\\AREAS\\RUFILES";
  areas.Append(area);

  QueueEntry entry = Entry("A.ZIP", "FC:\\AREAS\\RUFILES", kEncodeMime);
  entry.offset = 250;
  entry.sentToday = 3;
  const std::vector<std::string> lines = QueueDetailLines(entry, areas, 1000);
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[0], "Russian files (RU.FILES)");
  EXPECT_EQ(lines[2], Cp866("Тип:     MIME/Base64"));
  EXPECT_EQ(lines[3], Cp866("Кому:    All"));
  EXPECT_EQ(lines[4], Cp866("Куда:    2:5020/9999"));
  EXPECT_EQ(lines[7], Cp866("Секций в сутки: 3")) << "no allowance: the sections sent today";
  EXPECT_EQ(lines[9], QueueBarText(250, 1000));

  entry.allowedToday = 10;
  entry.flags = kSingleSection;  // plain text, section 3 of 120-line sections
  entry.offset = 2 * 120 * 60;
  entry.areaId = "FC:\\ELSEWHERE";
  const std::vector<std::string> single = QueueDetailLines(entry, areas, 100000);
  EXPECT_EQ(single[0], "FC:\\ELSEWHERE") << "an area no longer configured";
  EXPECT_EQ(single[2], Cp866("Тип:     Текст"));
  EXPECT_EQ(single[7], Cp866("Секций в сутки: 10"));
  EXPECT_EQ(single[9], Cp866("Секция 3"));
}

TEST(QueueWindow, SendNowTogglesAndRemoveTakesTheEntryAtOnce) {
  tui::FakeBackend backend;
  tui::Palette palette;
  tui::Application app(backend, palette);
  AreaTable areas;
  AreaEntry area;
  area.tag = area.displayName = "LIMITED";
  area.areaId = "FC:\\LIMITED";
  area.SectionsPerDay = area.SectionsLeftToday = 2;
  areas.Append(area);
  SendQueue queue;
  for (const char* name : {"ONE.ZIP", "TWO.ZIP", "THREE.ZIP"})
    queue.push_back(Entry(name, "FC:\\LIMITED"));

  // The list, then OK, "Послать немедленно" and "Удалить" in tab order.
  for (int k : {key::kDown, key::kTab, key::kTab, key::kEnter, key::kBackTab, key::kBackTab,
                key::kDown, key::kTab, key::kTab, key::kTab, key::kEnter})
    backend.PushKey(k);
  backend.PushSnapshot();
  backend.PushKey(key::kEsc);
  RunQueueWindow(app, queue, areas);

  ASSERT_EQ(queue.size(), 2u);
  EXPECT_EQ(queue.front().postedName, "ONE.ZIP");
  EXPECT_EQ(queue.back().postedName, "TWO.ZIP");
  EXPECT_EQ(queue.back().flags, kEncodeUu | kSendImmediately);
  EXPECT_EQ(queue.front().allowedToday, 1) << "the day's two sections went round before it opened";
  const tui::CellBuffer& shot = backend.snapshots.at(0);
  // The window (76 x 19) stands at column 2, row 3; the list's text starts at column 5, row 5.
  EXPECT_EQ(shot.RowText(5, 5, 17), "ONE.ZIP          ");
  EXPECT_EQ(shot.RowText(6, 5, 17), "TWO.ZIP         \xFB");
  EXPECT_EQ(shot.RowText(7, 5, 17), std::string(17, ' '));
  EXPECT_EQ(shot.RowText(5, 26, 7), "LIMITED") << "the focused entry's area";
  EXPECT_EQ(shot.RowText(14, 26, 27), QueueBarText(0, 0));
}

// The status line of the window names its keys: Ins and Del act as the two buttons, F1 asks
// for the window's help.
TEST(QueueWindow, StatusLineKeys) {
  tui::FakeBackend backend;
  tui::Palette palette;
  tui::Application app(backend, palette);
  const std::vector<ExternalUtility> none;
  SetUpStatusLine(app.Status(), none);
  std::vector<int> asked;
  app.SetHelp(cmd::kHelp, [&](int context) { asked.push_back(context); });
  AreaTable areas;
  SendQueue queue;
  for (const char* name : {"ONE.ZIP", "TWO.ZIP", "THREE.ZIP"}) queue.push_back(Entry(name, "F"));
  for (int k : {key::kIns, key::kDown, key::kDel, key::F(1)}) backend.PushKey(k);
  backend.PushSnapshot();
  backend.PushKey(key::kEsc);
  RunQueueWindow(app, queue, areas);
  ASSERT_EQ(queue.size(), 2u);
  EXPECT_EQ(queue.front().flags, kEncodeUu | kSendImmediately);
  EXPECT_EQ(queue.back().postedName, "THREE.ZIP");
  EXPECT_EQ(asked, (std::vector<int>{100}));
  EXPECT_EQ(backend.snapshots.at(0).RowText(24, 0, 48),
            Cp866(" F1 Справка  Ins Послать немедленно  Del Удалить"));
}

}  // namespace
}  // namespace vm::shell
