#include "shell/shell_menu.h"

#include "config/settings.h"
#include "shell/commands.h"
#include "text/cp866.h"
#include "tui/keys.h"
#include "tui/menu_bar.h"
#include "tui/status_line.h"

namespace vm::shell {

using tui::MenuBarItem;
using tui::MenuItem;
namespace key = tui::key;

namespace {

// Help contexts of the menu items and their hints.
struct ContextHintText {
  int context;
  const char* hint;
};
constexpr ContextHintText kHints[] = {
    {10, "Основные операции"},
    {11, "Вывод диалога кодирования"},
    {12, "Раскодирование файла(ов) в текущий каталог"},
    {13, "Удаление файла(ов) из каталога или конференции"},
    {14, "Информация о файле(ах) в каталоге или конференции"},
    {15, "Смена диска"},
    {16, "Выход из программы (лучше не использовать :-) )"},
    {20, "Выбор файлов"},
    {21, "Выделение файлов по маске"},
    {22, "Снятие выделения с файлов по маске"},
    {23, "Инвертировать выделение"},
    {30, "Установка различных параметров"},
    {31, "Диалог конфигурации цветов"},
    {32, "Установить стандартные цвета"},
    {33, "Сохранить палитру в файл"},
    {34, "Загрузить палитру из файла"},
    {40, "Пользовательские утилиты"},
};

// The help contexts of the status line's ranges.
constexpr int kMainWindowContext = 0;
constexpr int kMenuContexts = 10;
constexpr int kLastContext = 0xFFFF;

// PC scan codes of F1 plain and with Shift, Ctrl and Alt; F1 to F10 follow each.
struct ScanBase {
  uint32_t f1;
  int modifier;
};
constexpr ScanBase kScanBases[] = {
    {0x3B, 0}, {0x54, key::kShift}, {0x5E, key::kCtrl}, {0x68, key::kAlt}};
constexpr uint32_t kFunctionKeys = 10;

MenuItem Item(const char* text, const char* keyText, int boundKey, int command, int context) {
  return MenuItem{Cp866(text), keyText, boundKey, command, context};
}

MenuBarItem Submenu(const char* text, int context, std::vector<MenuItem> items) {
  MenuBarItem bar;
  bar.text = Cp866(text);
  bar.helpContext = context;
  bar.items = std::move(items);
  return bar;
}

}  // namespace

int UtilityKey(uint32_t keyCode) {
  const uint32_t scan = keyCode >> 8;
  for (const ScanBase& base : kScanBases)
    if (scan >= base.f1 && scan < base.f1 + kFunctionKeys)
      return base.modifier | key::F(static_cast<int>(scan - base.f1) + 1);
  return 0;
}

void SetUpMenuBar(tui::MenuBar& menu, const std::vector<ExternalUtility>& utilities) {
  std::vector<MenuBarItem> items;
  items.push_back(MenuBarItem{"Veldmark v1.61.40", key::kShift | key::F(1), cmd::kAbout, 0, {}});
  MenuBarItem divider;
  divider.text = Cp866("│");
  divider.inert = true;
  items.push_back(divider);
  // Some hot letters below are Latin letters that look Cyrillic; they answer as Latin keys.
  items.push_back(Submenu(
      "~Ф~айл", 10,
      {Item("~К~одировать файл(ы)", "", 0, cmd::kEncode, 11),
       Item("~Д~екодировать файл(ы)", "", 0, cmd::kDecode, 12),
       Item("~У~далить файл(ы)", "Del", key::kDel, cmd::kDelete, 13),
       Item("~И~нформация о файле", "F3", key::F(3), cmd::kInformation, 14), MenuItem::Separator(),
       Item("~C~мена диска", "Alt+D", key::Alt('D'), cmd::kChangeDrive, 15), MenuItem::Separator(),
       Item("~В~ыход", "Alt+X", key::Alt('X'), cmd::kQuit, 16)}));
  items.push_back(Submenu("~B~ыбор", 20,
                          {Item("~В~ыбрать", "+", key::kGrayPlus, cmd::kSelect, 21),
                           Item("~О~тменить выбор", "-", key::kGrayMinus, cmd::kUnselect, 22),
                           Item("~И~нвертировать выбор", "*", 0, cmd::kInvert, 23)}));
  items.push_back(
      Submenu("~O~пции", 30,
              {Item("~Ц~вета...", "", 0, cmd::kColours, 31),
               Item("~С~тандартные цвета", "", 0, cmd::kStandardColours, 32), MenuItem::Separator(),
               Item("~С~охранить палитру", "", 0, cmd::kSavePalette, 33),
               Item("~З~агрузить палитру", "", 0, cmd::kLoadPalette, 34)}));
  MenuBarItem tools = Submenu("~C~ервис", 40, {});
  for (size_t i = 0; i < utilities.size(); ++i) {
    const ExternalUtility& utility = utilities[i];
    const int number = static_cast<int>(i) + 1;
    tools.items.push_back(MenuItem{utility.title, utility.keyName, UtilityKey(utility.keyCode),
                                   cmd::kUtility + number, cmd::kUtilityContext + number});
  }
  items.push_back(std::move(tools));
  menu.SetItems(std::move(items));
}

void SetUpStatusLine(tui::StatusLine& status, const std::vector<ExternalUtility>& utilities) {
  const tui::StatusItem help{Cp866("~F1~ Справка"), key::F(1), cmd::kHelp};
  status.SetRanges({
      {kMainWindowContext,
       kMainWindowContext,
       {{Cp866("~Alt+D~ Смена диска"), key::Alt('D'), cmd::kChangeDrive},
        {Cp866("~F5~ (Де)Кодировать"), key::F(5), cmd::kDeCode},
        {Cp866("~Del~ Удалить"), key::kDel, cmd::kDelete},
        {Cp866("~F3~ Информация"), key::F(3), cmd::kInformation},
        {"", key::F(8), cmd::kDelete},
        {"", key::F(1), cmd::kHelp}}},
      {tui::hc::kInput,
       tui::hc::kInput,
       {help, {Cp866("~Esc~ Завершение ввода"), key::kEsc, tui::cmd::kEndInput}}},
      {tui::hc::kNoKeys, tui::hc::kNoKeys, {}},
      {kMenuContexts, kLastContext, {help}},
  });
  status.SetHints([&utilities](int context) { return ContextHint(context, utilities); });
}

std::string ContextHint(int context, const std::vector<ExternalUtility>& utilities) {
  for (const ContextHintText& hint : kHints)
    if (hint.context == context) return Cp866(hint.hint);
  const int utility = context - cmd::kUtilityContext;
  if (utility >= 1 && utility <= static_cast<int>(utilities.size()))
    return utilities[static_cast<size_t>(utility - 1)].command;
  return "";
}

}  // namespace vm::shell
