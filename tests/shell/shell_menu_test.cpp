// The shell's menu bar and status line on the fake backend at 80 x 25: every menu cell for
// cell, the status line of every help context with its hint, the hot letters in both keyboard
// layouts, the utilities' keys, and help asked for on a menu item.
#include "shell/shell_menu.h"

#include <gtest/gtest.h>

#include <vector>

#include "config/settings.h"
#include "shell/commands.h"
#include "text/cp866.h"
#include "tui/application.h"
#include "tui/fake_backend.h"
#include "tui/keys.h"

namespace vm::shell {
namespace {

namespace key = tui::key;
namespace pal = tui::pal;

int C(const char* utf8Letter) { return static_cast<unsigned char>(Cp866(utf8Letter)[0]); }

std::string Padded(const char* utf8, size_t width = 80) {
  std::string text = Cp866(utf8);
  text.resize(width, ' ');
  return text;
}

// Records the commands that reach the desktop; quit ends the run.
class CommandLog : public tui::View {
 public:
  explicit CommandLog(tui::Application& app) : app_(app) {}
  void Draw(tui::CellBuffer& out, const tui::Palette&) override { out.Fill(bounds, ' ', 0x07); }
  void Layout(const tui::Rect& desktop) override { bounds = desktop; }
  void HandleEvent(tui::Event& event) override {
    if (event.kind == tui::EventKind::Command) {
      commands.push_back(event.command);
      if (event.command == cmd::kQuit) app_.Quit();
    }
    event.Clear();
  }
  std::vector<int> commands;

 private:
  tui::Application& app_;
};

ExternalUtility Utility(const char* title, const char* keyName, uint32_t keyCode,
                        const char* command) {
  ExternalUtility utility;
  utility.title = Cp866(title);
  utility.keyName = keyName;
  utility.keyCode = keyCode;
  utility.command = command;
  return utility;
}

struct ShellMenuTest : ::testing::Test {
  explicit ShellMenuTest(std::vector<ExternalUtility> tools =
                             {Utility("~С~оздать каталог", "F7", 0x4100, "mkdir"),
                              Utility("~П~росмотр файла", "SHIFTF3", 0x5600, "less %1")})
      : utilities(std::move(tools)), app(backend, palette), view(app) {
    SetUpMenuBar(app.Menu(), utilities);
    SetUpStatusLine(app.Status(), utilities);
    app.SetMainView(&view);
    app.SetHelp(cmd::kHelp, [this](int context) { helpContexts.push_back(context); });
  }

  void QuitAfterwards() { backend.PushKey(key::Alt('X')); }

  std::vector<ExternalUtility> utilities;
  tui::FakeBackend backend;
  tui::Palette palette;
  tui::Application app;
  CommandLog view;
  std::vector<int> helpContexts;
};

// The rows of a menu box (from the bar's row down), as the screen holds them.
void ExpectBox(const tui::CellBuffer& screen, int x, const std::vector<const char*>& rows) {
  for (size_t i = 0; i < rows.size(); ++i) {
    const std::string row = Cp866(rows[i]);
    EXPECT_EQ(screen.RowText(static_cast<int>(i) + 1, x, static_cast<int>(row.size())), row)
        << rows[i];
  }
}

TEST_F(ShellMenuTest, TheMenuBarAndEverySubmenuCellForCell) {
  backend.PushSnapshot();
  backend.PushKey(key::Alt('A'));
  backend.PushSnapshot();
  for (int i = 0; i < 3; ++i) {
    backend.PushKey(key::kRight);
    backend.PushSnapshot();
  }
  backend.PushKey(key::kEsc);
  QuitAfterwards();
  app.Run();
  ASSERT_EQ(backend.snapshots.size(), 5u);

  const tui::CellBuffer& closed = backend.snapshots[0];
  EXPECT_EQ(closed.RowText(0),
            Padded("  Veldmark v1.61.40  │  Файл  \x42ыбор  \x4fпции  \x43ервис"));
  EXPECT_EQ(closed.At(1, 0).attr, palette[pal::kMenuNormal]);
  for (int hot : {24, 30, 37, 44}) EXPECT_EQ(closed.At(hot, 0).attr, palette[pal::kMenuHot]) << hot;
  EXPECT_EQ(closed.At(25, 0).attr, palette[pal::kMenuNormal]);
  EXPECT_EQ(closed.At(30, 0).ch, 'B') << "the Latin letter stands as it is";
  EXPECT_EQ(
      closed.RowText(24),
      Padded(" Alt+D Смена диска F5 (Де)Кодировать Del Удалить F3 Информация Ctrl+R Обновить"))
      << "one blank between the items lets them all fit";

  const tui::CellBuffer& file = backend.snapshots[1];
  ExpectBox(file, 23,
            {"┌──────────────────────────┐", "│ Кодировать файл(ы)       │",
             "│ Декодировать файл(ы)     │", "│ Удалить файл(ы)      Del │",
             "│ Информация о файле    F3 │", "├──────────────────────────┤",
             "│ \x43мена диска        Alt+D │", "├──────────────────────────┤",
             "│ Выход              Alt+X │", "└──────────────────────────┘"});
  EXPECT_EQ(file.At(23, 0).attr, palette[pal::kMenuSelected]);
  EXPECT_EQ(file.At(24, 0).attr, palette[pal::kMenuSelectedHot]);
  EXPECT_EQ(file.At(25, 2).attr, palette[pal::kMenuSelectedHot]) << "the current item's hot letter";
  EXPECT_EQ(file.At(26, 2).attr, palette[pal::kMenuSelected]);
  EXPECT_EQ(file.At(25, 3).attr, palette[pal::kMenuHot]);
  EXPECT_EQ(file.At(26, 3).attr, palette[pal::kMenuNormal]);
  EXPECT_EQ(file.At(25, 7).ch, 'C');
  EXPECT_EQ(file.RowText(24), Padded(" F1 Справка │ Вывод диалога кодирования"));

  ExpectBox(backend.snapshots[2], 29,
            {"┌──────────────────────────┐", "│ Выбрать                + │",
             "│ Отменить выбор         - │", "│ Инвертировать выбор    * │",
             "└──────────────────────────┘"});
  EXPECT_EQ(backend.snapshots[2].RowText(24), Padded(" F1 Справка │ Выделение файлов по маске"));
  ExpectBox(backend.snapshots[3], 36,
            {"┌─────────────────────┐", "│ Цвета...            │", "│ Стандартные цвета   │",
             "├─────────────────────┤", "│ Сохранить палитру   │", "│ Загрузить палитру   │",
             "└─────────────────────┘"});
  EXPECT_EQ(backend.snapshots[3].RowText(24), Padded(" F1 Справка │ Диалог конфигурации цветов"));
  ExpectBox(backend.snapshots[4], 43,
            {"┌────────────────────────────┐", "│ Создать каталог         F7 │",
             "│ Просмотр файла    Shift+F3 │", "└────────────────────────────┘"});
  EXPECT_EQ(backend.snapshots[4].RowText(24), Padded(" F1 Справка │ mkdir"));
  EXPECT_EQ(view.commands, (std::vector<int>{cmd::kQuit}));
}

struct NoUtilities : ShellMenuTest {
  NoUtilities() : ShellMenuTest({}) {}
};

TEST_F(NoUtilities, TheToolsMenuIsEmptyAndKeepsItsOwnHint) {
  backend.PushKey(key::Alt('C'));
  backend.PushSnapshot();
  backend.PushKey(key::F(1));
  backend.PushKey(key::kEnter);  // nothing to choose
  backend.PushKey(key::kEsc);
  QuitAfterwards();
  app.Run();
  ASSERT_EQ(backend.snapshots.size(), 1u);
  ExpectBox(backend.snapshots[0], 43, {"┌────────┐", "└────────┘"});
  EXPECT_EQ(backend.snapshots[0].RowText(24), Padded(" F1 Справка │ Пользовательские утилиты"));
  EXPECT_EQ(helpContexts, (std::vector<int>{40}));
  EXPECT_EQ(view.commands, (std::vector<int>{cmd::kQuit}));
}

TEST_F(ShellMenuTest, StatusLineOfEveryContext) {
  struct Case {
    int context;
    const char* row;
  };
  const Case cases[] = {
      {0, " Alt+D Смена диска F5 (Де)Кодировать Del Удалить F3 Информация Ctrl+R Обновить"},
      {10, " F1 Справка │ Основные операции"},
      {11, " F1 Справка │ Вывод диалога кодирования"},
      {12, " F1 Справка │ Раскодирование файла(ов) в текущий каталог"},
      {13, " F1 Справка │ Удаление файла(ов) из каталога или конференции"},
      {14, " F1 Справка │ Информация о файле(ах) в каталоге или конференции"},
      {15, " F1 Справка │ Смена диска"},
      {16, " F1 Справка │ Выход из программы (лучше не использовать :-) )"},
      {20, " F1 Справка │ Выбор файлов"},
      {21, " F1 Справка │ Выделение файлов по маске"},
      {22, " F1 Справка │ Снятие выделения с файлов по маске"},
      {23, " F1 Справка │ Инвертировать выделение"},
      {30, " F1 Справка │ Установка различных параметров"},
      {31, " F1 Справка │ Диалог конфигурации цветов"},
      {32, " F1 Справка │ Установить стандартные цвета"},
      {33, " F1 Справка │ Сохранить палитру в файл"},
      {34, " F1 Справка │ Загрузить палитру из файла"},
      {40, " F1 Справка │ Пользовательские утилиты"},
      {50, " F1 Справка"},
      {51, " F1 Справка │ mkdir"},
      {52, " F1 Справка │ less %1"},
      {53, " F1 Справка"},  // no third utility
      {17, " F1 Справка"},
      {1000, " F1 Справка  Esc Завершение ввода"},
      {100, " F1 Справка  Ins Послать немедленно  Del Удалить │ Очередь файлов на посылку"},
      {101, " F1 Справка │ Дополнительные параметры кодирования"},
      {102, " F1 Справка │ Сжатие файлов в архив перед посылкой"},
      {1001, " F1 Справка"},
      {1002, " F1 Справка │ Окно справки"},
      {2000, ""},
      {65535, " F1 Справка"},
      {5, ""},  // below the menus' range: no keys
  };
  tui::StatusLine& status = app.Status();
  tui::CellBuffer screen(80, 25);
  for (const Case& c : cases) {
    status.SetContext(c.context);
    status.Draw(screen, palette);
    EXPECT_EQ(screen.RowText(24), Padded(c.row)) << c.context;
  }

  struct KeyCase {
    int context;
    int key;
    int command;
  };
  const KeyCase keys[] = {
      {0, key::Alt('D'), cmd::kChangeDrive},
      {0, key::Alt(C("в")), cmd::kChangeDrive},
      {0, key::F(5), cmd::kDeCode},
      {0, key::kDel, cmd::kDelete},
      {0, key::F(3), cmd::kInformation},
      {0, key::F(8), cmd::kDelete},
      {0, key::F(1), cmd::kHelp},
      {0, key::kCtrlR, cmd::kRefresh},
      {0, key::kEsc, 0},
      {100, key::kIns, cmd::kQueueSendNow},
      {100, key::kDel, cmd::kQueueRemove},
      {101, key::kDel, 0},
      {1001, key::F(1), cmd::kHelp},
      {1002, key::F(1), cmd::kHelp},
      {12, key::F(1), cmd::kHelp},
      {12, key::F(3), 0},
      {1000, key::kEsc, tui::cmd::kEndInput},
      {1000, key::F(1), cmd::kHelp},
      {2000, key::F(1), 0},
  };
  for (const KeyCase& k : keys) {
    status.SetContext(k.context);
    EXPECT_EQ(status.CommandForKey(k.key), k.command) << k.context << " " << k.key;
  }
}

TEST_F(ShellMenuTest, HotLettersAnswerTheCyrillicAndTheLatinKey) {
  struct Case {
    int key;
    int item;  // the menu bar item, -1 for none
  };
  const Case cases[] = {
      {key::Alt('A'), 2}, {key::Alt(C("Ф")), 2}, {key::Alt(C("ф")), 2},
      {key::Alt('B'), 3}, {key::Alt(C("И")), 3}, {key::Alt(C("В")), -1},  // В lies on D
      {key::Alt('O'), 4}, {key::Alt(C("Щ")), 4}, {key::Alt(C("О")), -1},  // О lies on J
      {key::Alt('C'), 5}, {key::Alt(C("С")), 5}, {key::Alt('V'), -1},
  };
  for (const Case& c : cases) EXPECT_EQ(app.Menu().ItemForAltKey(c.key), c.item) << c.key;

  // Inside a menu the plain letters choose, in either layout: "~C~мена диска" has a Latin C.
  for (int letter : {int{'c'}, C("с"), int{'l'}, C("д"), int{'x'}}) {
    backend.PushKey(key::Alt('A'));
    backend.PushKey(letter);
  }
  backend.PushKey(key::kEsc);
  backend.PushKey(key::Alt(C("Щ")));
  backend.PushKey(C("з"));
  QuitAfterwards();
  app.Run();
  EXPECT_EQ(view.commands, (std::vector<int>{cmd::kChangeDrive, cmd::kChangeDrive, cmd::kDecode,
                                             cmd::kDecode, cmd::kLoadPalette, cmd::kQuit}))
      << "x chooses nothing in the File menu, Esc closes it";
}

// F10 lights the first menu without opening it; Left and Right move the light (and the open
// menu) from item to item, and the program's own item runs only by Enter.
TEST_F(ShellMenuTest, F10LightsTheBarAndArrowsNeverRunItsCommand) {
  backend.PushKey(key::F(10));
  backend.PushSnapshot();        // 0: Файл lit, no box
  backend.PushKey(key::kLeft);   // the program's item: lit, not run
  backend.PushSnapshot();        // 1
  backend.PushKey(key::kLeft);   // past it to Сервис, still closed
  backend.PushKey(key::kEnter);  // opens Сервис
  backend.PushSnapshot();        // 2
  backend.PushKey(key::kRight);  // past the last menu: the program's item, lit only
  backend.PushSnapshot();        // 3
  backend.PushKey(key::kRight);  // Файл, open since a menu was open
  backend.PushSnapshot();        // 4
  backend.PushKey(key::kEsc);
  backend.PushKey(key::F(10));
  backend.PushKey(key::F(10));  // leaves the bar
  backend.PushKey(key::F(10));
  backend.PushKey(key::Alt('O'));  // straight into Опции
  backend.PushKey(key::kDown);
  backend.PushKey(key::kEnter);  // Стандартные цвета
  backend.PushKey(key::F(10));
  backend.PushKey(key::kLeft);
  backend.PushKey(key::kEnter);  // the program's item, by Enter
  QuitAfterwards();
  app.Run();
  ASSERT_EQ(backend.snapshots.size(), 5u);
  const int programItem = 1;
  const int fileItem = 23;
  const int toolsItem = 43;
  const uint8_t lit = palette[pal::kMenuSelected];
  const tui::CellBuffer& f10 = backend.snapshots[0];
  EXPECT_EQ(f10.At(fileItem, 0).attr, lit);
  EXPECT_EQ(f10.At(programItem, 0).attr, palette[pal::kMenuNormal]);
  EXPECT_EQ(f10.RowText(1, 23, 5), "     ") << "no box under Файл";
  EXPECT_EQ(f10.RowText(24), Padded(" F1 Справка │ Основные операции"));
  EXPECT_EQ(backend.snapshots[1].At(programItem, 0).attr, lit);
  EXPECT_EQ(backend.snapshots[1].At(fileItem, 0).attr, palette[pal::kMenuNormal]);
  EXPECT_EQ(backend.snapshots[2].At(toolsItem, 0).attr, lit);
  EXPECT_EQ(backend.snapshots[2].RowText(2, toolsItem, 17), Cp866("│ Создать каталог"));
  EXPECT_EQ(backend.snapshots[3].At(programItem, 0).attr, lit);
  EXPECT_EQ(backend.snapshots[3].RowText(2, toolsItem, 17), std::string(17, ' '))
      << "Сервис closed";
  EXPECT_EQ(backend.snapshots[4].RowText(2, fileItem, 20), Cp866("│ Кодировать файл(ы)"));
  EXPECT_EQ(view.commands, (std::vector<int>{cmd::kStandardColours, cmd::kAbout, cmd::kQuit}));
}

TEST_F(ShellMenuTest, UtilityItemsRunByTheirKeysAndTheMenu) {
  backend.PushKey(key::F(7));
  backend.PushKey(key::kShift | key::F(3));
  backend.PushKey(key::Alt('C'));
  backend.PushKey(key::kDown);
  backend.PushKey(key::kEnter);
  backend.PushKey(key::kShift | key::F(1));  // the program's own item
  QuitAfterwards();
  app.Run();
  EXPECT_EQ(view.commands, (std::vector<int>{cmd::kUtility + 1, cmd::kUtility + 2,
                                             cmd::kUtility + 2, cmd::kAbout, cmd::kQuit}));
}

TEST(UtilityKeys, ScanCodesBecomeFunctionKeys) {
  struct Case {
    uint32_t code;
    int key;
  };
  const Case cases[] = {
      {0x3B00, key::F(1)},
      {0x4100, key::F(7)},
      {0x4400, key::F(10)},
      {0x5400, key::kShift | key::F(1)},
      {0x5600, key::kShift | key::F(3)},
      {0x6500, key::kCtrl | key::F(8)},
      {0x6800, key::kAlt | key::F(1)},
      {0x7100, key::kAlt | key::F(10)},
      {0x3A00, 0},  // "F0": the name's last character below "1"
      {0x7200, 0},
      {0, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(UtilityKey(c.code), c.key) << std::hex << c.code;
}

TEST_F(ShellMenuTest, HelpOnAMenuItemAsksForItsContext) {
  backend.PushKey(key::Alt('A'));
  backend.PushKey(key::kDown);
  backend.PushKey(key::F(1));  // on Декодировать
  backend.PushKey(key::kEsc);
  backend.PushKey(key::Alt('C'));
  backend.PushKey(key::kDown);
  backend.PushKey(key::F(1));  // on the second utility
  backend.PushKey(key::kEsc);
  backend.PushKey(key::F(1));  // the main window
  QuitAfterwards();
  app.Run();
  EXPECT_EQ(helpContexts, (std::vector<int>{12, 52, 0}));
  EXPECT_EQ(view.commands, (std::vector<int>{cmd::kQuit})) << "help is no command of the view";
}

TEST_F(ShellMenuTest, TheMouseOpensMenusAndSwitchesBetweenThem) {
  using tui::MouseAction;
  backend.Push(tui::Event::Mouse({30, 0}, MouseAction::Press));  // Выбор
  backend.PushSnapshot();
  backend.Push(tui::Event::Mouse({38, 0}, MouseAction::Press));  // Опции, while Выбор is open
  backend.PushSnapshot();
  backend.Push(tui::Event::Mouse({40, 3}, MouseAction::Press));  // Стандартные цвета
  backend.Push(tui::Event::Mouse({5, 0}, MouseAction::Press));   // the program's item
  backend.Push(tui::Event::Mouse({21, 0}, MouseAction::Press));  // the divider: nothing
  backend.Push(tui::Event::Mouse({24, 0}, MouseAction::Press));  // Файл
  backend.Push(tui::Event::Mouse({24, 0}, MouseAction::Press));  // Файл again closes it
  QuitAfterwards();
  app.Run();
  ASSERT_EQ(backend.snapshots.size(), 2u);
  EXPECT_EQ(backend.snapshots[0].RowText(2, 29, 12), Cp866("│ Выбрать   "));
  EXPECT_EQ(backend.snapshots[1].RowText(2, 36, 12), Cp866("│ Цвета...  "));
  EXPECT_EQ(backend.snapshots[1].RowText(2, 29, 7), Cp866("       ")) << "Выбор is closed";
  EXPECT_EQ(view.commands, (std::vector<int>{cmd::kStandardColours, cmd::kAbout, cmd::kQuit}));
}

}  // namespace
}  // namespace vm::shell
