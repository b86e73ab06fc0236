// The menu bar on the screen's top row: items that run a command at once or open a menu box
// of items. Every item's hot letter ("~x~") answers Alt with the letter in either keyboard
// layout; the menu items' own keys are bound whether the menu is open or not.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tui/view.h"

namespace vm::tui {

struct MenuItem {
  std::string text;     // CP866, "~" around the hot letter
  std::string keyText;  // the key shown beside it
  int key = 0;          // the key that runs it from anywhere; 0: none
  int command = 0;
  int helpContext = 0;
  bool separator = false;

  static MenuItem Separator() {
    MenuItem item;
    item.separator = true;
    return item;
  }
};

struct MenuBarItem {
  std::string text;
  int key = 0;      // a key bound to the direct command
  int command = 0;  // run at once when chosen; 0: opens `items`, or inert with none
  int helpContext = 0;
  std::vector<MenuItem> items;
  bool inert = false;  // a divider that cannot be chosen
};

class MenuBar : public View {
 public:
  void SetItems(std::vector<MenuBarItem> items) { items_ = std::move(items); }
  const std::vector<MenuBarItem>& Items() const { return items_; }
  void SetEnabled(std::function<bool(int)> enabled) { enabled_ = std::move(enabled); }

  void Draw(CellBuffer& out, const Palette& palette) override;

  // The command bound to the key (an item's own key), 0 when none.
  int CommandForKey(int key) const;
  // The top item whose hot letter the Alt key names, -1 when none.
  int ItemForAltKey(int key) const;
  // The top item drawn at the column, -1 when none.
  int ItemAt(int x) const;
  int ItemColumn(int index) const;
  // The first top item that opens a menu (F10 lights it).
  int FirstMenu() const;
  // The next choosable top item after (step 1) or before (step -1) the index.
  int Neighbour(int index, int step) const;

  int highlighted = -1;  // the item whose menu is open

 private:
  std::vector<MenuBarItem> items_;
  std::function<bool(int)> enabled_ = [](int) { return true; };
};

}  // namespace vm::tui
