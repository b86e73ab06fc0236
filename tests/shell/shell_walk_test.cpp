// The whole shell on the fake backend: a directory with a text file holding two postings is
// scanned from the directory panel, both found files are selected and decoded, the
// information window is opened, and the quit question ends the run.
#include <gtest/gtest.h>

#include <csignal>

#include "decode/posting_builder.h"
#include "msgbase/message_base.h"
#include "platform/host_path.h"
#include "shell_node.h"
#include "text/cp866.h"

namespace vm::shell {
namespace {

namespace key = tui::key;

std::string Bytes(size_t size, unsigned seed) {
  std::string data(size, '\0');
  for (size_t i = 0; i < size; ++i)
    data[i] = static_cast<char>((i * 131 + seed * 7 + i / 7) & 0xFF);
  return data;
}

struct ShellWalk : ::testing::Test, test::ShellNode {
  ShellWalk() {
    std::string text;
    for (const auto& [data, name, lines] :
         {std::tuple{alpha, "alpha.bin", 40}, std::tuple{beta, "beta.bin", 40}})
      for (const vm::test::Lines& section : vm::test::UuSections(data, name, lines))
        for (const std::string& line : section) text += line + "\r\n";
    dir.WriteFile("post.txt", text);
    dir.WriteFile("other.txt", "nothing encoded here\r\n");
    dir.MakeDirectory("sub");
  }

  const std::string alpha = Bytes(1000, 1);
  const std::string beta = Bytes(3000, 2);  // two sections of 40 lines
};

TEST_F(ShellWalk, ScanSelectDecodeInformQuit) {
  backend.PushKeys("post");  // quick search: the cursor goes to post.txt
  backend.PushSnapshot();
  backend.PushKey(key::kEnter);  // "scan this file?"
  backend.PushKey(key::kEnter);  // Yes
  backend.PushWait();            // the scan
  backend.PushKey(key::kDown);
  backend.PushKey(' ');
  backend.PushKey(' ');
  backend.PushSnapshot();
  backend.PushKey(key::F(5));
  backend.PushWait();  // the decode
  backend.PushSnapshot();
  backend.PushKey(key::F(3));  // on beta.bin, where the second Space left the cursor
  backend.PushSnapshot();
  backend.PushKey(key::kEsc);
  backend.PushKey(key::kEsc);  // the quit question
  backend.PushSnapshot();
  backend.PushKey(key::kEnter);  // Yes
  RunShell();

  EXPECT_EQ(backend.EventsLeft(), 0u);
  EXPECT_EQ(dir.ReadFile("ALPHA.BIN"), alpha);
  EXPECT_EQ(dir.ReadFile("BETA.BIN"), beta);
  ASSERT_EQ(backend.snapshots.size(), 5u);

  const tui::CellBuffer& searching = backend.snapshots[0];
  EXPECT_EQ(Shown(searching, 22, 0, 40), "║post                                  ║");
  EXPECT_EQ(searching.At(1, 6).attr, 0x30) << "post.txt under the cursor";
  EXPECT_EQ(Shown(searching, 6, 0, 14), "║post     txt│");

  const tui::CellBuffer& selected = backend.snapshots[1];
  EXPECT_EQ(Shown(selected, 1, 40, 40), "╔════════════╤══post.txt═══════════════╗");
  EXPECT_EQ(Shown(selected, 4, 40, 40), "║alpha    bin│  │[■■■■■■■■■100%■■■■■■■]║");
  EXPECT_EQ(Shown(selected, 5, 40, 40), "║beta     bin│  │[■■■■■■■■■100%■■■■■■■]║");
  EXPECT_EQ(Shown(selected, 22, 40, 40), "║2 файл(ов) выбрано                    ║");
  EXPECT_EQ(selected.At(41, 4).attr, 0x1E);

  const tui::CellBuffer& decoded = backend.snapshots[2];
  EXPECT_EQ(decoded.At(41, 4).attr, 0x1B) << "decoded files are unselected";
  EXPECT_EQ(Shown(decoded, 5, 0, 14), "║ALPHA    BIN│") << "the directory was read again";

  const tui::CellBuffer& info = backend.snapshots[3];
  EXPECT_EQ(Shown(info, 6, 14, 52), "╔════════════════════ BETA.BIN ════════════════════╗");
  EXPECT_EQ(Shown(info, 9, 14, 16), "║ Файл POST.TXT ");
  EXPECT_EQ(Shown(info, 13, 14, 30), "║ Тип:     UU                 ");

  EXPECT_NE(Shown(backend.snapshots[4], 11, 18, 44).find("Вы уверены что хотите выйти?"),
            std::string::npos);
}

TEST_F(ShellWalk, EnterOnDirectoriesAndTheExitRowAndAnEndSignal) {
  backend.PushKey(key::kDown);  // "sub" (after "..")
  backend.PushKey(key::kEnter);
  backend.PushSnapshot();
  backend.PushKey(key::kEnter);  // ".." back out
  backend.PushSnapshot();
  tui::Event end(tui::EventKind::Signal);
  end.signal = SIGTERM;
  backend.Push(end);
  RunShell();
  ASSERT_EQ(backend.snapshots.size(), 2u);
  EXPECT_EQ(Shown(backend.snapshots[0], 3, 0, 14), "║..          │");
  EXPECT_EQ(Shown(backend.snapshots[0], 4, 0, 14), "║            │") << "sub is empty";
  EXPECT_EQ(Shown(backend.snapshots[1], 22, 0, 6), "║SUB  ") << "the cursor is back on sub";
  EXPECT_EQ(CurrentDirectory(), ProgramPathFromHost(dir.path()));
}

// An area of *.MSG files with the postings, each section in a message of its own.
struct ShellAreaWalk : ShellWalk {
  ShellAreaWalk() {
    dir.MakeDirectory("area");
    const int index = areas.FindOrCreate("RU.FILES");
    areas.At(index).displayName = "RU.FILES";
    areas.At(index).areaId = "F" + ProgramPathFromHost(dir / "area");
    areas.At(index).SectionsPerDay = 10;
    areas.At(index).SectionsLeftToday = 10;
    MessageBaseHandle base;
    EXPECT_TRUE(OpenOrCreateMessageArea(areas.At(index).areaId, base));
    for (const auto& [data, name] : {std::pair{alpha, "alpha.bin"}, std::pair{beta, "beta.bin"}})
      for (const vm::test::Lines& section : vm::test::UuSections(data, name, 40)) {
        base->StartNewMessage();
        base->SetMailKind(MailKind::Echomail);
        base->SetFromName("Alexander Ivanov");
        base->SetToName("All");
        base->SetSubject(name);
        base->SetDateText("03-01-26");
        base->SetTimeText("10:00");
        for (const std::string& line : section) base->PutLine(line);
        base->PutLine(" * Origin: test (2:5030/7)");
        EXPECT_EQ(base->WriteMessage(), 0);
      }
    CloseMessageArea(base);
  }
  size_t Messages() const { return ListDirectory(ProgramPathFromHost(dir / "area")).size(); }
};

TEST_F(ShellAreaWalk, MouseOpensTheAreaAndDeleteRemovesAFilesMessages) {
  ASSERT_EQ(Messages(), 3u);
  // The area list: a click makes the right panel active, F3 describes the area.
  backend.Push(tui::Event::Mouse({45, 2}, tui::MouseAction::Press));
  backend.PushKey(key::F(3));
  backend.PushSnapshot();
  backend.PushKey(key::kEsc);
  backend.Push(tui::Event::Mouse({45, 2}, tui::MouseAction::DoubleClick));  // opens it
  backend.PushWait();
  backend.Push(tui::Event::Mouse({45, 10}, tui::MouseAction::WheelDown));
  backend.Push(tui::Event::Mouse({45, 10}, tui::MouseAction::WheelDown));  // on beta.bin
  backend.PushSnapshot();
  backend.PushKey(key::kDel);
  backend.PushKey(key::kEnter);  // Yes
  backend.PushWait();
  backend.PushSnapshot();
  PushQuit();
  RunShell();

  ASSERT_EQ(backend.snapshots.size(), 3u);
  const tui::CellBuffer& info = backend.snapshots[0];
  EXPECT_EQ(Shown(info, 6, 14, 52), "╔════════════ Информация о конференции ════════════╗");
  EXPECT_EQ(Shown(info, 10, 14, 30), "║ Тип: Fido/*.msg             ");
  EXPECT_EQ(Shown(info, 12, 14, 52), "║ Секций в сутки (из .ctl):                     10 ║");

  const tui::CellBuffer& opened = backend.snapshots[1];
  EXPECT_EQ(Shown(opened, 4, 40, 14), "║alpha    bin│");
  EXPECT_EQ(opened.At(41, 5).attr, 0x30) << "the wheel moved the cursor to beta.bin";
  EXPECT_EQ(Shown(opened, 22, 40, 40), "║[2/2]                               UU║");

  const tui::CellBuffer& after = backend.snapshots[2];
  EXPECT_EQ(Shown(after, 4, 40, 14), "║alpha    bin│");
  EXPECT_EQ(Shown(after, 5, 40, 14), "║            │") << "beta.bin is gone after the rescan";
  EXPECT_EQ(Messages(), 1u) << "both of beta.bin's messages deleted";
}

// F3 describes the file under the cursor, not the first selected one; F1 there opens the
// information topic.
TEST_F(ShellAreaWalk, InformationIsAboutTheCursorFile) {
  dir.WriteFile("veldmark.hlp", Cp866(".topic 14 Info\ninfo text\n"));
  backend.PushKey(key::kTab);
  backend.PushKey(key::kEnter);
  backend.PushWait();
  backend.PushKey(key::kDown);
  backend.PushKey(' ');  // alpha.bin selected, the cursor on beta.bin
  backend.PushKey(key::F(3));
  backend.PushSnapshot();
  backend.PushKey(key::F(1));
  backend.PushSnapshot();
  backend.PushKey(key::kEsc);
  backend.PushKey(key::kEsc);
  PushQuit();
  RunShell();
  ASSERT_EQ(backend.snapshots.size(), 2u);
  EXPECT_EQ(Shown(backend.snapshots[0], 6, 14, 52),
            "╔════════════════════ BETA.BIN ════════════════════╗");
  EXPECT_EQ(Shown(backend.snapshots[0], 24, 0, 13), " F1 Справка │");
  EXPECT_TRUE(ShowsText(backend.snapshots[1], "═ Info ═"));
}

TEST_F(ShellAreaWalk, DecodedFilesGetTheHistoryMark) {
  backend.PushKey(key::kTab);
  backend.PushKey(key::kEnter);
  backend.PushWait();
  backend.PushKey(key::kDown);
  backend.PushKey(key::F(5));
  backend.PushWait();
  backend.PushSnapshot();
  PushQuit();
  RunShell();
  ASSERT_EQ(backend.snapshots.size(), 1u);
  EXPECT_EQ(Shown(backend.snapshots[0], 4, 40, 17), "║alpha    bin│√ │");
  EXPECT_EQ(Shown(backend.snapshots[0], 5, 40, 17), "║beta     bin│  │");
  EXPECT_EQ(dir.ReadFile("ALPHA.BIN"), alpha);
  ASSERT_EQ(state.history.size(), 1u);
  EXPECT_EQ(state.history[0].fileName, "ALPHA.BIN");
  EXPECT_EQ(state.history[0].areaName, "RU.FILES");
}

TEST_F(ShellWalk, ASearchCharacterThatMatchesNothingIsDropped) {
  backend.PushKeys("pq");  // "p" finds post.txt; "pq" matches nothing
  backend.PushSnapshot();
  backend.PushKey(key::kBackspace);  // the search ends with its last character
  backend.PushSnapshot();
  PushQuit();
  RunShell();
  ASSERT_EQ(backend.snapshots.size(), 2u);
  EXPECT_EQ(Shown(backend.snapshots[0], 22, 0, 6), "║p    ");
  EXPECT_EQ(backend.snapshots[0].At(1, 6).attr, 0x30) << "the cursor stays on post.txt";
  EXPECT_EQ(Shown(backend.snapshots[1], 22, 0, 10), "║post.txt ");
}

// The quick search reaches directories and files without an extension as well.
TEST_F(ShellWalk, QuickSearchReachesNamesWithoutAnExtension) {
  dir.MakeDirectory("OUT");
  dir.MakeDirectory("DEC1");
  dir.WriteFile("NOEXT", "n");
  const struct {
    const char* typed;
    const char* found;  // the information line once the search ended
  } cases[] = {{"o", "OUT"}, {"d", "DEC1"}, {"n", "noext."}, {"ot", "other.txt"}, {"s", "SUB"}};
  for (const auto& c : cases) {
    backend.PushKey(key::kHome);
    backend.PushKeys(c.typed);
    backend.PushKey(key::kEsc);  // ends the search
    backend.PushSnapshot();
  }
  PushQuit();
  RunShell();
  ASSERT_EQ(backend.snapshots.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(Shown(backend.snapshots[i], 22, 1, 10),
              (cases[i].found + std::string(10, ' ')).substr(0, 10))
        << cases[i].typed;
}

// Ctrl+R (and the status line's item) reads the directory again: a file that grew shows its
// new size, and the cursor stays on it.
TEST_F(ShellWalk, CtrlRReadsTheDirectoryAgain) {
  dir.WriteFile("tiny.bin", "abc");
  backend.PushKeys("tiny");
  backend.PushKey(key::kEsc);
  backend.PushAction([this] { dir.WriteFile("tiny.bin", std::string(300, 'x')); });
  backend.PushAction([this] { dir.WriteFile("new.txt", "new"); });
  backend.PushSnapshot();
  backend.PushKey(key::kCtrlR);
  backend.PushSnapshot();
  PushQuit();
  RunShell();
  ASSERT_EQ(backend.snapshots.size(), 2u);
  EXPECT_EQ(Shown(backend.snapshots[0], 22, 0, 10), "║tiny.bin ");
  EXPECT_TRUE(ShowsText(backend.snapshots[0], "tiny     bin│        3│"));
  EXPECT_TRUE(ShowsText(backend.snapshots[1], "tiny     bin│      300│"));
  EXPECT_TRUE(ShowsText(backend.snapshots[1], "new      txt│"));
  EXPECT_EQ(Shown(backend.snapshots[1], 22, 0, 10), "║tiny.bin ") << "the cursor stayed";
  EXPECT_TRUE(ShowsText(backend.snapshots[1], "Ctrl+R Обновить"));
}

TEST_F(ShellWalk, DeleteInTheDirectoryPanelAsksFirst) {
  backend.PushKeys("other");
  backend.PushKey(key::kDel);
  backend.PushKey(key::kTab);  // No
  backend.PushKey(key::kEnter);
  backend.PushKeys("other");
  backend.PushKey(key::kDel);
  backend.PushSnapshot();
  backend.PushKey(key::kEnter);  // Yes
  backend.PushWait();
  PushQuit();
  RunShell();
  EXPECT_FALSE(dir.Exists("other.txt"));
  EXPECT_TRUE(dir.Exists("post.txt"));
  EXPECT_NE(Shown(backend.snapshots[0], 10, 18, 44).find("Удаление файлов. Вы уверены что хотите"),
            std::string::npos);
}

// An area configured with a relative path names a directory below the start directory, also
// after the panel has walked into another directory.
TEST_F(ShellWalk, ARelativeAreaPathStillNamesItsBaseAfterTheDirectoryChanged) {
  MessageBaseHandle base;
  ASSERT_TRUE(OpenOrCreateMessageArea("F" + dir / "areas/rufiles", base));
  base->StartNewMessage();
  base->SetToName("All");
  const std::vector<vm::test::Lines> sections = vm::test::UuSections(alpha, "alpha.bin", 40);
  for (const std::string& line : sections.front()) base->PutLine(line);
  ASSERT_EQ(base->WriteMessage(), 0);
  CloseMessageArea(base);
  AreaEntry area;
  area.tag = area.displayName = "RU.FILES";
  area.areaId = "FAREAS\\RUFILES";
  areas.Append(area);
  paths.StartDir = ProgramPathFromHost(dir.path());

  backend.PushKeys("sub");
  backend.PushKey(key::kEnter);  // into sub
  backend.PushKey(key::kTab);
  backend.PushKey(key::kEnter);  // open RU.FILES
  backend.PushWait();
  backend.PushSnapshot();
  PushQuit();
  RunShell();
  ASSERT_EQ(backend.snapshots.size(), 1u);
  EXPECT_EQ(Shown(backend.snapshots[0], 4, 40, 14), "║alpha    bin│");
  EXPECT_FALSE(dir.Exists("sub/AREAS")) << "no base made under the panel's directory";
}

// The node is in zone 2; a *.MSG header holds no zone. Its own posting there (a MSGID, no
// origin line) gets the "from you" mark, and the information window names its zone.
TEST_F(ShellWalk, OwnPostingsInAMsgAreaKeepTheNodesZone) {
  settings.NAME = "Ivan Petrov";
  MessageBaseHandle base;
  ASSERT_TRUE(OpenOrCreateMessageArea("F" + dir / "areas/rufiles", base));
  for (const vm::test::Lines& section : vm::test::UuSections(alpha, "mine.bin", 40)) {
    base->StartNewMessage();
    base->SetMailKind(MailKind::Echomail);
    base->SetFromName("Ivan Petrov");
    base->SetToName("All");
    base->SetOrigAddress(NetAddress{2, 5020, 9999, 0});
    base->PutKludge("\x01MSGID: 2:5020/9999 1234abcd");
    for (const std::string& line : section) base->PutLine(line);
    ASSERT_EQ(base->WriteMessage(), 0);
  }
  CloseMessageArea(base);
  AreaEntry area;
  area.tag = area.displayName = "RU.FILES";
  area.areaId = "F" + ProgramPathFromHost(dir / "areas/rufiles");
  areas.Append(area);

  backend.PushKey(key::kTab);
  backend.PushKey(key::kEnter);  // open RU.FILES
  backend.PushWait();
  backend.PushKey(key::kDown);  // off the exit row, onto mine.bin
  backend.PushKey(key::kTab);   // the cursor leaves the panel: the row shows its own colour
  backend.PushSnapshot();
  backend.PushKey(key::kTab);
  backend.PushKey(key::F(3));
  backend.PushSnapshot();
  backend.PushKey(key::kEsc);
  PushQuit();
  RunShell();
  ASSERT_EQ(backend.snapshots.size(), 2u);
  EXPECT_EQ(Shown(backend.snapshots[0], 4, 40, 16), "║mine     bin│ \x18");
  EXPECT_EQ(backend.snapshots[0].At(41, 4).attr, 0x1F) << "a file from you";
  std::string info;
  for (int y = 0; y < backend.snapshots[1].Height(); ++y) info += Shown(backend.snapshots[1], y);
  EXPECT_NE(info.find("От кого: Ivan Petrov"), std::string::npos) << info;
  EXPECT_NE(info.find("2:5020/9999"), std::string::npos) << info;
  EXPECT_EQ(info.find("1:5020/9999"), std::string::npos) << info;
}

}  // namespace
}  // namespace vm::shell
