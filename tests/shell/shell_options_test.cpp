// The Options menu and help in the whole shell: the palette file at start-up, the colour
// dialog (its groups, OK and Cancel), saving and loading the palette through the file dialog,
// their error messages, and the help command.
#include <gtest/gtest.h>

#include <set>

#include "shell/colour_commands.h"
#include "shell/palette_file.h"
#include "shell_node.h"
#include "tui/colour_roles.h"

namespace vm::shell {
namespace {

namespace key = tui::key;
using test::ShellNode;

constexpr uint8_t kStandardFrame = 0x1F;  // the file panels' frame, palette index 96

struct ShellOptions : ::testing::Test, ShellNode {
  uint8_t FrameAttr(size_t snapshot) const { return backend.snapshots.at(snapshot).At(0, 1).attr; }
  void OpenOptions() { backend.PushKey(key::Alt('O')); }
  // The colour dialog: the panels' frame text turned from white to yellow, then OK.
  void PushYellowFrame() {
    OpenOptions();
    backend.PushKey(key::kEnter);  // Цвета...
    backend.PushKey(key::kTab);    // the items: Рамка/Фон
    backend.PushKey(key::kTab);    // the text colour, white
    backend.PushKey(key::kLeft);   // yellow
    backend.PushKey(key::kEnter);  // OK
  }
};

TEST_F(ShellOptions, ThePaletteFileIsLoadedAtStartUpOnlyWith255Bytes) {
  for (size_t size : {254u, 255u, 256u}) {
    backend.snapshots.clear();
    dir.WriteFile("VELDMARK.PAL", std::string(size, '\x4E'));
    backend.PushSnapshot();
    PushQuit();
    RunShell();
    ASSERT_EQ(backend.snapshots.size(), 1u);
    EXPECT_EQ(FrameAttr(0), size == 255 ? 0x4E : kStandardFrame) << size;
    EXPECT_EQ(backend.snapshots[0].At(5, 0).attr, size == 255 ? 0x4E : 0x70) << "the menu bar too";
  }
}

TEST_F(ShellOptions, ColoursSavedAndLoadedAgain) {
  PushYellowFrame();
  backend.PushSnapshot();
  OpenOptions();
  backend.PushKey(key::kDown);
  backend.PushKey(key::kDown);
  backend.PushKey(key::kEnter);  // Сохранить палитру
  backend.PushSnapshot();
  backend.PushKeys("mine");
  backend.PushKey(key::kEnter);
  OpenOptions();
  backend.PushKey(key::kDown);
  backend.PushKey(key::kEnter);  // Стандартные цвета
  backend.PushSnapshot();
  OpenOptions();
  backend.PushKey(key::kUp);
  backend.PushKey(key::kEnter);  // Загрузить палитру
  backend.PushKeys("mine.pal");
  backend.PushKey(key::kEnter);
  backend.PushSnapshot();
  PushQuit();
  RunShell();

  ASSERT_EQ(backend.snapshots.size(), 4u);
  EXPECT_EQ(FrameAttr(0), 0x1E) << "OK applied the colour";
  const tui::CellBuffer& save = backend.snapshots[1];
  EXPECT_TRUE(ShowsText(save, "═ Сохранить палитру ═"));
  EXPECT_TRUE(ShowsText(save, "║ Имя "));
  EXPECT_TRUE(ShowsText(save, "║   *.pal "));
  EXPECT_EQ(FrameAttr(2), kStandardFrame);
  EXPECT_EQ(FrameAttr(3), 0x1E) << "loaded from the file";

  const std::string saved = dir.ReadFile("mine.pal");
  ASSERT_EQ(saved.size(), 255u) << "the extension was added to the typed name";
  EXPECT_EQ(saved[95], '\x1E');
  EXPECT_EQ(saved[96], '\x1B') << "index 97 as it was";
  EXPECT_EQ(CurrentDirectory(), ProgramPathFromHost(dir.path()));
}

TEST_F(ShellOptions, TheColoursAreKeptForTheNextRun) {
  PushYellowFrame();
  PushQuit();
  RunShell();
  const std::string saved = dir.ReadFile("VELDMARK.PAL");
  ASSERT_EQ(saved.size(), 255u);
  EXPECT_EQ(static_cast<uint8_t>(saved[96 - 1]), 0x1E);
}

TEST_F(ShellOptions, CancelLeavesTheColoursAsTheyWere) {
  OpenOptions();
  backend.PushKey(key::kEnter);
  backend.PushKey(key::kTab);
  backend.PushKey(key::kTab);
  backend.PushKey(key::kLeft);
  backend.PushKey(key::kEsc);
  backend.PushSnapshot();
  PushQuit();
  RunShell();
  EXPECT_EQ(FrameAttr(0), kStandardFrame);
}

TEST_F(ShellOptions, PaletteFilesThatCannotBeUsedAreReported) {
  dir.WriteFile("short.pal", std::string(10, '\x4E'));
  OpenOptions();
  backend.PushKey(key::kUp);
  backend.PushKey(key::kEnter);
  backend.PushKeys("short");
  backend.PushKey(key::kEnter);
  backend.PushSnapshot();
  backend.PushKey(key::kEnter);
  OpenOptions();
  backend.PushKey(key::kDown);
  backend.PushKey(key::kDown);
  backend.PushKey(key::kEnter);
  backend.PushKeys("/proc/x.pal");
  backend.PushKey(key::kEnter);
  backend.PushSnapshot();
  backend.PushKey(key::kEnter);
  backend.PushSnapshot();
  PushQuit();
  RunShell();
  ASSERT_EQ(backend.snapshots.size(), 3u);
  EXPECT_TRUE(ShowsText(backend.snapshots[0], "Ошибка открытия файла."));
  EXPECT_EQ(FrameAttr(0), kStandardFrame) << "a short file changes nothing";
  EXPECT_TRUE(ShowsText(backend.snapshots[1], "Ошибка записи файла."));
  EXPECT_FALSE(ShowsText(backend.snapshots[2], "Ошибка"));
}

TEST(PaletteFile, SaveThenLoadGivesTheSameBytes) {
  ScopedTempDir dir;
  const std::string path = ProgramPathFromHost(dir / "x.pal");
  tui::Palette edited;
  for (int i = 1; i <= tui::Palette::kSize; ++i) edited.Set(i, static_cast<uint8_t>(i * 7));
  ASSERT_TRUE(SavePaletteFile(path, edited));
  tui::Palette loaded;
  ASSERT_TRUE(LoadPaletteFile(path, loaded));
  EXPECT_TRUE(std::ranges::equal(loaded.Bytes(), edited.Bytes()));
  EXPECT_FALSE(LoadPaletteFile(ProgramPathFromHost(dir / "missing.pal"), loaded));
}

TEST(ColourGroups, TheGroupsAndTheirItemsInOrder) {
  const auto groups = ShellColourGroups();
  ASSERT_EQ(groups.size(), 4u);
  std::vector<std::string> names;
  for (const auto& group : groups) names.push_back(Cp866ToUtf8(group.name));
  EXPECT_EQ(names, (std::vector<std::string>{"Панели файлов", "Меню", "Диалоги", "Редактор"}));
  std::vector<std::pair<std::string, int>> panels;
  for (const auto& item : groups[0].items) panels.emplace_back(Cp866ToUtf8(item.name), item.index);
  EXPECT_EQ(panels, (std::vector<std::pair<std::string, int>>{{"Рамка/Фон", 96},
                                                              {"Заголовок", 102},
                                                              {"Файл", 97},
                                                              {"Курсор/Файл", 98},
                                                              {"Выдел. файл", 100},
                                                              {"Курсор/Выдел. файл", 101},
                                                              {"Неполный файл", 99},
                                                              {"Кypсоp/Неполн. файл", 103},
                                                              {"Файл от Вас", 104},
                                                              {"Курсор/Файл от Вас", 105}}));
  for (size_t g = 1; g < groups.size(); ++g)
    for (const auto& item : groups[g].items)
      EXPECT_TRUE(item.index < 96 || item.index > 105) << "the toolkit's own entries";
}

// The colour dialog lists exactly the entries the screens draw with: the panels' own, the menus'
// and the status line's, and those of the colour roles of dialogs, error boxes and windows.
TEST(ColourGroups, ListEveryEntryInUseOnce) {
  namespace pal = tui::pal;
  std::vector<int> listed;
  for (const auto& group : ShellColourGroups())
    for (const auto& item : group.items) listed.push_back(item.index);
  std::set<int> used = {pal::kMenuNormal,      pal::kMenuHot,       pal::kMenuSelected,
                        pal::kMenuSelectedHot, pal::kMenuDisabled,  pal::kStatusNormal,
                        pal::kStatusHot,       pal::kStatusDisabled};
  for (int index = 96; index <= 105; ++index) used.insert(index);
  for (const tui::ColourRoles& roles : {tui::kDialogRoles, tui::kErrorRoles, tui::kWindowRoles})
    for (int index : tui::RoleEntries(roles)) used.insert(index);
  EXPECT_EQ(std::set<int>(listed.begin(), listed.end()), used);
  EXPECT_EQ(listed.size(), used.size()) << "an entry listed twice";
  EXPECT_TRUE(used.contains(pal::kErrorText));
}

TEST_F(ShellOptions, TheColourDialogShowsTheGroupsAndTheChosenGroupsItems) {
  OpenOptions();
  backend.PushKey(key::kEnter);
  backend.PushSnapshot();
  backend.PushKey(key::kDown);  // Меню
  backend.PushSnapshot();
  backend.PushKey(key::kEsc);
  PushQuit();
  RunShell();
  ASSERT_EQ(backend.snapshots.size(), 2u);
  const tui::CellBuffer& panels = backend.snapshots[0];
  // The dialog is 66 x 19, centred: its left edge at column 7, its top at row 3.
  EXPECT_EQ(Shown(panels, 3, 7, 66), "╔" + std::string() + Cp866ToUtf8(std::string(28, '\xCD')) +
                                         " Цвета " + Cp866ToUtf8(std::string(29, '\xCD')) + "╗");
  const char* groupRows[] = {"Панели файлов", "Меню", "Диалоги", "Редактор"};
  const char* itemRows[] = {"Рамка/Фон",         "Заголовок",           "Файл",
                            "Курсор/Файл",       "Выдел. файл",         "Курсор/Выдел. файл",
                            "Неполный файл",     "Кypсоp/Неполн. файл", "Файл от Вас",
                            "Курсор/Файл от Вас"};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(Shown(panels, 6 + i, 11, 13),
              std::string(groupRows[i]) + std::string(13 - Cp866(groupRows[i]).size(), ' '));
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(Shown(panels, 6 + i, 31, 19),
              std::string(itemRows[i]) + std::string(19 - Cp866(itemRows[i]).size(), ' '));
  EXPECT_EQ(Shown(backend.snapshots[1], 6, 31, 19), "Пункт              ");
  EXPECT_EQ(Shown(backend.snapshots[1], 7, 31, 19), "Горячая буква      ");
  EXPECT_EQ(Shown(backend.snapshots[0], 24),
            " F1 Справка │ Диалог конфигурации цветов" + std::string(40, ' '));
}

TEST_F(ShellOptions, HelpOpensTheContextsTopicOrSaysItIsMissing) {
  ExternalUtility tool;
  tool.title = Cp866("~Т~ест");
  tool.command = "true";
  settings.externalUtilities = {tool, tool};
  backend.PushKey(key::F(1));  // no help file yet
  backend.PushSnapshot();
  backend.PushKey(key::kEnter);
  PushQuit();
  RunShell();
  ASSERT_EQ(backend.snapshots.size(), 1u);
  EXPECT_TRUE(ShowsText(backend.snapshots[0], "Не могу открыть файл справки."));

  backend.snapshots.clear();
  dir.WriteFile("veldmark.hlp", Cp866(".topic 0 Main\nmain text\n.topic 50 Tools\ntools text\n"
                                      ".topic 1002 Help\nhelp keys\n"));
  backend.PushKey(key::F(1));
  backend.PushSnapshot();
  backend.PushKey(key::F(1));  // help while help is open: its topic on help, in the same window
  backend.PushSnapshot();
  backend.PushKey(key::kBackspace);
  backend.PushSnapshot();
  backend.PushKey(key::kEsc);
  backend.PushKey(key::Alt('C'));  // Сервис: the second utility's item
  backend.PushKey(key::kDown);
  backend.PushKey(key::F(1));
  backend.PushSnapshot();
  backend.PushKey(key::kEsc);
  backend.PushKey(key::kEsc);
  PushQuit();
  RunShell();
  ASSERT_EQ(backend.snapshots.size(), 4u);
  EXPECT_TRUE(ShowsText(backend.snapshots[0], "═ Main ═"));
  EXPECT_TRUE(ShowsText(backend.snapshots[0], "║main text"));
  EXPECT_TRUE(ShowsText(backend.snapshots[1], "═ Help ═"));
  EXPECT_EQ(backend.snapshots[2].RowText(2), backend.snapshots[0].RowText(2))
      << "Backspace goes back to Main: the same window";
  EXPECT_TRUE(ShowsText(backend.snapshots[3], "═ Tools ═")) << "context 52 shows topic 50";
}

// The help file of the program directory (the sysop's copy) comes first, then the one beside
// the executable, then an installed copy's shared one.
TEST_F(ShellOptions, HelpIsLookedForInTheProgramDirectoryBesideTheProgramThenInShare) {
  ScopedTempDir bin, share;
  paths.ExecutableDir = ProgramPathFromHost(bin.path()) + "/";
  paths.ShareDir = ProgramPathFromHost(share.path()) + "/";
  const struct {
    const ScopedTempDir& where;
    const char* title;
  } steps[] = {{share, "Shared"}, {bin, "Beside"}, {dir, "Own"}};
  for (const auto& step : steps) {
    step.where.WriteFile("veldmark.hlp", std::string(".topic 0 ") + step.title + "\ntext\n");
    backend.snapshots.clear();
    backend.PushKey(key::F(1));
    backend.PushSnapshot();
    backend.PushKey(key::kEsc);
    PushQuit();
    RunShell();
    ASSERT_EQ(backend.snapshots.size(), 1u);
    EXPECT_TRUE(ShowsText(backend.snapshots[0], (std::string("═ ") + step.title + " ═").c_str()))
        << step.title;
  }
}

}  // namespace
}  // namespace vm::shell
