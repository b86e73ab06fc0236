#include "shell/shell_menu.h"

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

MenuItem Item(const char* text, const char* keyText, int boundKey, int command, int context) {
  return MenuItem{Cp866(text), keyText, boundKey, command, context};
}

}  // namespace

void SetUpMenuBar(tui::MenuBar& menu) {
  std::vector<MenuBarItem> items;
  items.push_back(MenuBarItem{"Veldmark v1.61.40", key::kShift | key::F(1), cmd::kAbout, 0, {}});
  MenuBarItem divider;
  divider.text = Cp866("│");
  divider.inert = true;
  items.push_back(divider);
  // Some hot letters below are Latin letters that look Cyrillic; they answer as Latin keys.
  items.push_back(MenuBarItem{
      Cp866("~Ф~айл"), 0, 0, 10,
      {Item("~К~одировать файл(ы)", "", 0, cmd::kEncode, 11),
       Item("~Д~екодировать файл(ы)", "", 0, cmd::kDecode, 12),
       Item("~У~далить файл(ы)", "Del", key::kDel, cmd::kDelete, 13),
       Item("~И~нформация о файле", "F3", key::F(3), cmd::kInformation, 14), MenuItem::Separator(),
       Item("~C~мена диска", "Alt+D", key::Alt('D'), cmd::kChangeDrive, 15), MenuItem::Separator(),
       Item("~В~ыход", "Alt+X", key::Alt('X'), cmd::kQuit, 16)}});
  items.push_back(MenuBarItem{
      Cp866("~B~ыбор"), 0, 0, 20,
      {Item("~В~ыбрать", "+", key::kGrayPlus, cmd::kSelect, 21),
       Item("~О~тменить выбор", "-", key::kGrayMinus, cmd::kUnselect, 22),
       Item("~И~нвертировать выбор", "*", 0, cmd::kInvert, 23)}});
  menu.SetItems(std::move(items));
}

void SetUpStatusLine(tui::StatusLine& status) {
  status.SetItems({
      {Cp866("~Alt+D~ Смена диска"), key::Alt('D'), cmd::kChangeDrive},
      {Cp866("~F5~ (Де)Кодировать"), key::F(5), cmd::kDeCode},
      {Cp866("~Del~ Удалить"), key::kDel, cmd::kDelete},
      {Cp866("~F3~ Информация"), key::F(3), cmd::kInformation},
      {"", key::F(8), cmd::kDelete},
  });
}

}  // namespace vm::shell
