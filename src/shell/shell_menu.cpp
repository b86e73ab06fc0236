#include "shell/shell_menu.h"

#include "config/settings.h"
#include "shell/commands.h"
#include "shell/help_contexts.h"
#include "text/cp866.h"
#include "tui/keys.h"
#include "tui/menu_bar.h"
#include "tui/status_line.h"
#include "tui/view.h"

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
    {hc::kFileMenu, "Основные операции"},
    {hc::kEncode, "Вывод диалога кодирования"},
    {hc::kDecode, "Раскодирование файла(ов) в текущий каталог"},
    {hc::kDelete, "Удаление файла(ов) из каталога или конференции"},
    {hc::kInformation, "Информация о файле(ах) в каталоге или конференции"},
    {hc::kChangeDrive, "Смена диска"},
    {hc::kQuit, "Выход из программы (лучше не использовать :-) )"},
    {hc::kSelectionMenu, "Выбор файлов"},
    {hc::kSelect, "Выделение файлов по маске"},
    {hc::kUnselect, "Снятие выделения с файлов по маске"},
    {hc::kInvert, "Инвертировать выделение"},
    {hc::kOptionsMenu, "Установка различных параметров"},
    {hc::kColours, "Диалог конфигурации цветов"},
    {hc::kStandardColours, "Установить стандартные цвета"},
    {hc::kSavePalette, "Сохранить палитру в файл"},
    {hc::kLoadPalette, "Загрузить палитру из файла"},
    {hc::kToolsMenu, "Пользовательские утилиты"},
    {hc::kQueueWindow, "Очередь файлов на посылку"},
    {hc::kAdvancedDialog, "Дополнительные параметры кодирования"},
    {hc::kCompressionDialog, "Сжатие файлов в архив перед посылкой"},
    {tui::hc::kHelpWindow, "Окно справки"},
};

// The last help context of the status line's ranges.
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

// The key as the menu shows it beside a utility: "F7", "Shift+F3", "Ctrl+F8", "Alt+F2".
std::string KeyText(int boundKey) {
  if (boundKey == 0) return {};
  std::string text;
  if (boundKey & key::kShift) text += "Shift+";
  if (boundKey & key::kCtrl) text += "Ctrl+";
  if (boundKey & key::kAlt) text += "Alt+";
  return text + "F" + std::to_string((boundKey & ~key::kModifiers) - key::kF1 + 1);
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
  items.push_back(
      MenuBarItem{"Veldmark v1.61.40", key::kShift | key::F(1), cmd::kAbout, hc::kMainWindow, {}});
  MenuBarItem divider;
  divider.text = Cp866("│");
  divider.inert = true;
  items.push_back(divider);
  // Some hot letters below are Latin letters that look Cyrillic; they answer as Latin keys.
  items.push_back(Submenu(
      "~Ф~айл", hc::kFileMenu,
      {Item("~К~одировать файл(ы)", "", 0, cmd::kEncode, hc::kEncode),
       Item("~Д~екодировать файл(ы)", "", 0, cmd::kDecode, hc::kDecode),
       Item("~У~далить файл(ы)", "Del", key::kDel, cmd::kDelete, hc::kDelete),
       Item("~И~нформация о файле", "F3", key::F(3), cmd::kInformation, hc::kInformation),
       MenuItem::Separator(),
       Item("~C~мена диска", "Alt+D", key::Alt('D'), cmd::kChangeDrive, hc::kChangeDrive),
       MenuItem::Separator(), Item("~В~ыход", "Alt+X", key::Alt('X'), cmd::kQuit, hc::kQuit)}));
  items.push_back(
      Submenu("~B~ыбор", hc::kSelectionMenu,
              {Item("~В~ыбрать", "+", key::kGrayPlus, cmd::kSelect, hc::kSelect),
               Item("~О~тменить выбор", "-", key::kGrayMinus, cmd::kUnselect, hc::kUnselect),
               Item("~И~нвертировать выбор", "*", 0, cmd::kInvert, hc::kInvert)}));
  items.push_back(
      Submenu("~O~пции", hc::kOptionsMenu,
              {Item("~Ц~вета...", "", 0, cmd::kColours, hc::kColours),
               Item("~С~тандартные цвета", "", 0, cmd::kStandardColours, hc::kStandardColours),
               MenuItem::Separator(),
               Item("~С~охранить палитру", "", 0, cmd::kSavePalette, hc::kSavePalette),
               Item("~З~агрузить палитру", "", 0, cmd::kLoadPalette, hc::kLoadPalette)}));
  MenuBarItem tools = Submenu("~C~ервис", hc::kToolsMenu, {});
  for (size_t i = 0; i < utilities.size(); ++i) {
    const ExternalUtility& utility = utilities[i];
    const int number = static_cast<int>(i) + 1;
    const int boundKey = UtilityKey(utility.keyCode);
    tools.items.push_back(MenuItem{utility.title, KeyText(boundKey), boundKey,
                                   cmd::kUtility + number, hc::kUtility + number});
  }
  items.push_back(std::move(tools));
  menu.SetItems(std::move(items));
}

void SetUpStatusLine(tui::StatusLine& status, const std::vector<ExternalUtility>& utilities) {
  const tui::StatusItem help{Cp866("~F1~ Справка"), key::F(1), cmd::kHelp};
  status.SetRanges({
      {hc::kMainWindow,
       hc::kMainWindow,
       {{Cp866("~Alt+D~ Смена диска"), key::Alt('D'), cmd::kChangeDrive},
        {Cp866("~F5~ (Де)Кодировать"), key::F(5), cmd::kDeCode},
        {Cp866("~Del~ Удалить"), key::kDel, cmd::kDelete},
        {Cp866("~F3~ Информация"), key::F(3), cmd::kInformation},
        {Cp866("~Ctrl+R~ Обновить"), key::kCtrlR, cmd::kRefresh},
        {"", key::F(8), cmd::kDelete},
        {"", key::F(1), cmd::kHelp}}},
      {tui::hc::kInput,
       tui::hc::kInput,
       {help, {Cp866("~Esc~ Завершение ввода"), key::kEsc, tui::cmd::kEndInput}}},
      {tui::hc::kNoKeys, tui::hc::kNoKeys, {}},
      {hc::kQueueWindow,
       hc::kQueueWindow,
       {help,
        {Cp866("~Ins~ Послать немедленно"), key::kIns, cmd::kQueueSendNow},
        {Cp866("~Del~ Удалить"), key::kDel, cmd::kQueueRemove}}},
      {hc::kFileMenu, kLastContext, {help}},
  });
  status.SetHints([&utilities](int context) { return ContextHint(context, utilities); });
}

std::string ContextHint(int context, const std::vector<ExternalUtility>& utilities) {
  for (const ContextHintText& hint : kHints)
    if (hint.context == context) return Cp866(hint.hint);
  const int utility = context - hc::kUtility;
  if (utility >= 1 && utility <= static_cast<int>(utilities.size()))
    return utilities[static_cast<size_t>(utility - 1)].command;
  return "";
}

}  // namespace vm::shell
