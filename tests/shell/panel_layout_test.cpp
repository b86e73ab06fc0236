// The panels at 80 x 25, cell for cell: the directory panel with "..", directories, long
// names marked as cut, a large and a selected file; the area panel with complete, incomplete, own,
// decoded and fully posted files; the information lines and the colours of every row kind.
#include <gtest/gtest.h>

#include <ctime>

#include "config/area_table.h"
#include "config/settings.h"
#include "decode/found_file.h"
#include "platform/host_path.h"
#include "shell/area_panel.h"
#include "shell/directory_panel.h"
#include "state/history.h"
#include "support/platform_temp_dir.h"
#include "text/cp866.h"
#include "tui/palette.h"

namespace vm::shell {
namespace {

using tui::CellBuffer;
using tui::Palette;
using tui::Point;
using tui::Rect;

constexpr Rect kLeft{0, 1, 40, 23};
constexpr Rect kRight{40, 1, 40, 23};

int64_t LocalTime(int year, int month, int day, int hour, int minute) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&t));
}

// A panel's row as the console font shows it (UTF-8), so that the expected rows read as drawn.
std::string Shown(const CellBuffer& screen, int y, int x) {
  std::string shown;
  for (unsigned char c : screen.RowText(y, x, 40)) AppendUtf8(shown, Cp866DisplayChar(c));
  return shown;
}

DirectoryEntry Entry(std::string name, bool dir, int64_t size, bool selected = false) {
  DirectoryEntry e;
  e.name = std::move(name);
  e.isDirectory = dir;
  e.size = size;
  e.selected = selected;
  e.modified = LocalTime(2026, 1, 15, 9, 5);
  return e;
}

struct DirectoryPanelTest : ::testing::Test {
  DirectoryPanelTest() : screen(80, 25) {
    DirectoryListing list;
    list.entries = {Entry("..", true, 0),        Entry("Sub", true, 0),
                    Entry("a.zip", false, 1234), Entry("big.iso", false, 123456789),
                    Entry("readme.", false, 7),  Entry("verylongname.text", false, 42)};
    panel.SetList(list);
    panel.Layout(kLeft);
  }
  std::string Row(int y) const { return Shown(screen, y, 0); }

  DirectoryPanel panel;
  CellBuffer screen;
  Palette palette;
};

TEST_F(DirectoryPanelTest, RowsCellForCell) {
  panel.Cursor().MoveTo(3);
  panel.ToggleCursor();  // a.zip selected, the cursor moves to big.iso
  panel.Draw(screen, palette, Point{}, true);
  EXPECT_EQ(Row(1), "╔════════════╤═════════╤════════╤══════╗");
  EXPECT_EQ(Row(2), "║    Имя     │ Размер  │  Дата  │Время ║");
  EXPECT_EQ(Row(3), "║..          │◄Каталог►│        │      ║");
  EXPECT_EQ(Row(4), "║SUB         │►Каталог◄│15-01-26│09:05 ║");
  EXPECT_EQ(Row(5), "║a        zip│     1234│15-01-26│09:05 ║");
  // 123456789 bytes: 123456789 / 1024 = 120563, shown with "KB".
  EXPECT_EQ(Row(6), "║big      iso│ 120563KB│15-01-26│09:05 ║");
  EXPECT_EQ(Row(7), "║readme      │        7│15-01-26│09:05 ║");
  EXPECT_EQ(Row(8), "║verylong te}│       42│15-01-26│09:05 ║") << "a cut name ends in }";
  EXPECT_EQ(Row(9), "║            │         │        │      ║");
  EXPECT_EQ(Row(21), "╟────────────┴─────────┴────────┴──────╢");
  EXPECT_EQ(Row(22), "║1234 байт в 1 выбранных файлах        ║");
  EXPECT_EQ(Row(23), "╚══════════════════════════════════════╝");

  EXPECT_EQ(screen.At(0, 1).attr, 0x1F) << "frame";
  EXPECT_EQ(screen.At(5, 2).attr, 0x1E) << "header";
  EXPECT_EQ(screen.At(1, 3).attr, 0x1B) << "a file or directory";
  EXPECT_EQ(screen.At(1, 5).attr, 0x1E) << "selected";
  EXPECT_EQ(screen.At(1, 6).attr, 0x30) << "cursor";
  EXPECT_EQ(screen.At(13, 6).attr, 0x30) << "the cursor bar covers the rules";
  EXPECT_EQ(screen.At(13, 5).attr, 0x1F) << "elsewhere the rules are the frame's";
  EXPECT_EQ(screen.At(1, 22).attr, 0x1E) << "information line";
}

TEST_F(DirectoryPanelTest, InactivePanelShowsNoCursorAndTheInfoLineNamesTheEntry) {
  panel.Cursor().MoveTo(2);
  panel.Draw(screen, palette, Point{}, false);
  EXPECT_EQ(screen.At(1, 4).attr, 0x1B);
  EXPECT_EQ(Row(22), "║SUB                                   ║");
  panel.Cursor().MoveTo(6);
  panel.Draw(screen, palette, Point{}, true);
  EXPECT_EQ(Row(22), "║verylongname.text                     ║") << "files in lower case";
  const std::string search = "ver";
  panel.SetSearchText(search);
  panel.Draw(screen, palette, Point{}, true);
  EXPECT_EQ(Row(22), "║ver                                   ║");
  EXPECT_TRUE(screen.CursorVisible());
  EXPECT_EQ(screen.Cursor().x, 4);
}

TEST_F(DirectoryPanelTest, SelectionCountersNeverIncludeDirectories) {
  panel.Cursor().MoveTo(2);
  panel.ToggleCursor();  // a directory: not selected, the cursor still moves
  EXPECT_EQ(panel.SelectedCount(), 0);
  EXPECT_EQ(panel.Cursor().cursor, 3);
  panel.Invert();
  EXPECT_EQ(panel.SelectedCount(), 4);
  EXPECT_EQ(panel.SelectedBytes(), 1234 + 123456789 + 7 + 42);
  EXPECT_EQ(panel.SelectByMask("*.zip", false), 1);
  EXPECT_EQ(panel.SelectedCount(), 3);
  panel.Invert();
  EXPECT_EQ(panel.SelectedCount(), 1);
  EXPECT_EQ(panel.SelectByMask("*.*", true), 3) << "directories are skipped";
  EXPECT_EQ(panel.Targets().size(), 4u);
}

TEST(DirectoryList, SortsLimitsAndHides) {
  ScopedTempDir dir;
  dir.MakeDirectory("zeta");
  dir.MakeDirectory("Alpha");
  dir.WriteFile("b.txt", "b");
  dir.WriteFile("README", "r");
  dir.WriteFile(".hidden", "h");
  const std::string path = ProgramPathFromHost(dir.path());
  DirectoryListing list = ReadDirectoryList(path, false, false);
  std::vector<std::string> names;
  for (const DirectoryEntry& e : list.entries) names.push_back(e.name);
  EXPECT_EQ(names, (std::vector<std::string>{"..", "Alpha", "zeta", "README.", "b.txt"}));
  EXPECT_FALSE(list.tooMany);
  EXPECT_EQ(ReadDirectoryList(path, true, true).entries.size(), 5u)
      << "hidden shown, no '..' in a root";

  // Far more than a screen, and more than the 1,000 an old limit kept: every one is listed.
  for (int i = 0; i < 1500; ++i) dir.WriteFile("f" + std::to_string(i), "");
  list = ReadDirectoryList(path, false, false);
  EXPECT_FALSE(list.tooMany);
  EXPECT_EQ(list.entries.size(), 1505u);
  EXPECT_EQ(list.entries.front().name, "..");
  EXPECT_EQ(list.entries.back().name, "f999.");
}

// Names cut to fit their column end in "}"; the information line shows the whole name, and
// marks it only when even that line is too short. A wider panel gives the name more room.
TEST(NameColumns, CutNamesAreMarked) {
  struct Case {
    const char* name;
    bool directory;
    int extra;  // columns beyond 80 x 25's panel
    const char* column;
  };
  const Case cases[] = {
      {"node_after.tgz", false, 0, "node_aft tg}"},
      {"archive.tar_gz", false, 0, "archive  ta}"},
      {"exactly8.txt", false, 0, "exactly8 txt"},
      {"readme.", false, 0, "readme      "},
      {"DEC1", true, 0, "DEC1        "},
      {"long_directory", true, 0, "LONG_DIR   }"},
      {"node_after.tgz", false, 2, "node_after tgz"},
  };
  for (const Case& c : cases) {
    DirectoryEntry entry;
    entry.name = c.name;
    entry.isDirectory = c.directory;
    EXPECT_EQ(DirectoryNameColumn(entry, c.extra), c.column) << c.name;
  }
  FoundFile found;
  found.name = "BIGGER_NAME.ZIP";
  found.total = found.present = 1;
  EXPECT_EQ(FoundFileRowText(found, false, false, 0).substr(0, 12), "bigger_nazi}")
      << "found files too";
  found.name = "NINECHARS.ZIP";
  EXPECT_EQ(FoundFileRowText(found, false, false, 0).substr(0, 12), "ninecharszip");
}

TEST_F(DirectoryPanelTest, TheInformationLineShowsTheWholeName) {
  DirectoryListing list;
  list.entries = {Entry("node_after_the_fix.tgz", false, 1),
                  Entry(std::string(45, 'x') + ".txt", false, 1)};
  panel.SetList(list);
  panel.Draw(screen, palette, Point{}, true);
  EXPECT_EQ(Row(3), "║node_aft tg}│        1│15-01-26│09:05 ║");
  EXPECT_EQ(Row(22), "║node_after_the_fix.tgz                ║");
  panel.Cursor().MoveTo(2);
  panel.Draw(screen, palette, Point{}, true);
  EXPECT_EQ(Row(22), "║" + std::string(37, 'x') + "}║");
}

TEST_F(DirectoryPanelTest, AnEmptyDirectoryShowsDotDotAndABlankInformationLine) {
  DirectoryListing empty;
  empty.entries = {Entry("..", true, 0)};
  panel.SetList(empty);
  panel.Draw(screen, palette, Point{}, true);
  EXPECT_EQ(Row(3), "║..          │◄Каталог►│        │      ║");
  EXPECT_EQ(Row(22), "║                                      ║");
}

TEST(ListCursor, PagesClampAtTheEnds) {
  ListCursor c;
  c.rows = 18;
  c.SetCount(30);
  c.Page(18);
  EXPECT_EQ(c.cursor, 19);
  EXPECT_EQ(c.top, 13) << "the list ends on the last row";
  c.Page(18);
  EXPECT_EQ(c.cursor, 30);
  EXPECT_EQ(c.top, 13);
  c.Page(-18);
  EXPECT_EQ(c.cursor, 12);
  EXPECT_EQ(c.top, 1);
  c.SetCount(5);
  EXPECT_EQ(c.cursor, 5);
  EXPECT_EQ(c.top, 1);
}

struct AreaPanelTest : ::testing::Test {
  AreaPanelTest() : screen(80, 25), panel(settings, areas, catalogue, history) {
    settings.address = NetAddress{2, 5020, 9999, 0};
    int a = areas.FindOrCreate("RU.FILES");
    areas.At(a).displayName = "RU.FILES";
    areas.At(a).areaId = "FC:\\RUFILES";
    int b = areas.FindOrCreate("NETMAIL");
    areas.At(b).displayName = "Netmail";
    catalogue.StartFresh();
    Add("a.zip", 3, 3, NetAddress{2, 5020, 1, 0}, EncodingKind::Uu);
    Add("b.txt", 2, 3, NetAddress{2, 5020, 1, 0}, EncodingKind::Xx);
    Add("own.arj", 4, 4, settings.address, EncodingKind::MimeBase64);
    Add("known.zip", 1, 1, NetAddress{2, 5020, 1, 0}, EncodingKind::Uu);
    FoundFile& posted = Add("mine.rar", 2, 2, settings.address, EncodingKind::Uu);
    posted.sentSections = 2;
    FoundFile& crack = Add("", 1, 1, NetAddress{}, EncodingKind::Crack);
    crack.name = "KEYGEN.CRK";
    crack.key = "\x11Some program 1.0\x10";
    HistoryEntry entry;
    entry.fileName = "KNOWN.ZIP";
    entry.areaName = "RU.FILES";
    entry.totalSections = 1;
    entry.kind = static_cast<uint8_t>(EncodingKind::Uu);
    AddHistoryEntry(history, entry);
    panel.Layout(kRight);
    panel.ShowAreas();
  }
  FoundFile& Add(std::string name, int present, int total, NetAddress from, EncodingKind kind) {
    FoundFile& f = catalogue.At(catalogue.FindOrAdd(name + std::to_string(catalogue.Count())));
    f.name = UpCaseCp866(name);
    f.present = present;
    f.total = total;
    f.fromAddress = from;
    f.kind = kind;
    f.sections.assign(static_cast<size_t>(total), SectionSlot{});
    for (int i = 0; i < present; ++i) f.sections[static_cast<size_t>(i)] = SectionSlot{i + 1, 0};
    return f;
  }
  std::string Row(int y) const { return Shown(screen, y, 40); }

  Settings settings;
  AreaTable areas;
  FoundFileCatalogue catalogue;
  HistoryList history;
  CellBuffer screen;
  Palette palette;
  AreaPanel panel;
};

TEST_F(AreaPanelTest, AreaListRows) {
  panel.SetCursorArea(2);
  panel.Draw(screen, palette, Point{}, true);
  EXPECT_EQ(Row(1), "╔══════════════ Области ═══════════════╗");
  EXPECT_EQ(Row(2), "║RU.FILES                              ║");
  EXPECT_EQ(Row(3), "║Netmail                               ║");
  EXPECT_EQ(Row(21), "╟──────────────────────────────────────╢");
  EXPECT_EQ(Row(22), "║Netmail                               ║");
  EXPECT_EQ(screen.At(41, 3).attr, 0x30);
  EXPECT_EQ(screen.At(41, 2).attr, 0x1B);
  EXPECT_EQ(screen.At(60, 1).attr, 0x1E) << "the title";
}

TEST_F(AreaPanelTest, FoundFileRowsCellForCell) {
  panel.ShowFoundFiles("RU.FILES", "RU.FILES", false);
  panel.Cursor().MoveTo(2);
  panel.ToggleCursor();  // a.zip selected; the cursor on b.txt
  panel.Draw(screen, palette, Point{}, true);
  EXPECT_EQ(Row(1), "╔════════════╤══RU.FILES═══════════════╗");
  EXPECT_EQ(Row(2), "║    Имя     │  │       Статус         ║");
  EXPECT_EQ(Row(3), "║ ◄ Выход ►                            ║");
  EXPECT_EQ(Row(4), "║a        zip│  │[■■■■■■■■■100%■■■■■■■]║");
  EXPECT_EQ(Row(5), "║b        txt│  │[■■■■■■■■■■67%·······]║");
  EXPECT_EQ(Row(6), "║own      arj│ ↑│[■■■■■■■■■100%■■■■■■■]║");
  EXPECT_EQ(Row(7), "║known    zip│√ │[■■■■■■■■■100%■■■■■■■]║");
  EXPECT_EQ(Row(8), "║mine     rar│ ▲│[■■■■■■■■■100%■■■■■■■]║");
  EXPECT_EQ(Row(9), "║keygen   crk│  │Some program 1.0      ║");
  EXPECT_EQ(Row(21), "╟────────────┴──┴──────────────────────╢");
  EXPECT_EQ(Row(22), "║1 файл(ов) выбрано                    ║");

  EXPECT_EQ(screen.At(41, 4).attr, 0x1E) << "selected";
  EXPECT_EQ(screen.At(41, 5).attr, 0x38) << "cursor on an incomplete file";
  EXPECT_EQ(screen.At(41, 6).attr, 0x1F) << "a complete file from the user";
  EXPECT_EQ(screen.At(41, 7).attr, 0x1B) << "a complete file";

  panel.Unselect(2);
  panel.Cursor().MoveTo(4);
  panel.Draw(screen, palette, Point{}, true);
  EXPECT_EQ(screen.At(41, 6).attr, 0x3F) << "cursor on a file from the user";
  EXPECT_EQ(Row(22), "║[4/4]                      MIME/base64║");
  panel.Cursor().MoveTo(3);
  panel.Draw(screen, palette, Point{}, false);
  EXPECT_EQ(screen.At(41, 5).attr, 0x17) << "incomplete, no cursor in the inactive panel";
  panel.Cursor().MoveTo(1);
  panel.Draw(screen, palette, Point{}, true);
  EXPECT_EQ(Row(22), "║ ◄ Выход ►                            ║");
}

TEST(ProgressBar, FillsByIntegerDivisionAndCentresThePercentage) {
  EXPECT_EQ(ProgressBarText(0, 3),
            "[" + std::string(10, '\xFA') + "0%" + std::string(8, '\xFA') + "]");
  EXPECT_EQ(ProgressBarText(1, 3), Cp866("[■■■■■■····33%·······]"));
  EXPECT_EQ(ProgressBarText(1, 8),
            "[\xFE\xFE" + std::string(8, '\xFA') + "13%" + std::string(7, '\xFA') + "]")
      << "12.5 rounds up";
  EXPECT_EQ(ProgressBarText(199, 200).substr(18, 4), "\xFE\xFE\xFA]") << "19 of 20 cells";
  EXPECT_EQ(ProgressBarText(199, 200).substr(10, 4), "100%") << "99.5 rounds up";
}

}  // namespace
}  // namespace vm::shell
