// The menu bar holding the focus with no menu box open (after F10): one item lit. It ends with
// kMenuLeft or kMenuRight for the neighbour items, kMenuOpen for Enter, Down, a hot letter or
// a click on an item (to open its menu or run its command), Cancel for Esc or F10, or the
// command of a status line key.
#pragma once

#include "tui/menu_bar.h"
#include "tui/view.h"

namespace vm::tui {

namespace cmd {
// Enter, Down, a hot letter or a click on an item: Index tells which item to open or run.
inline constexpr int kMenuOpen = 17;
}  // namespace cmd

class MenuBarFocus : public ModalView {
 public:
  MenuBarFocus(const MenuBar& bar, int index);

  void Draw(CellBuffer& out, const Palette& palette) override {}  // the bar lights its item
  void HandleEvent(Event& event) override;
  // The lit item's help context.
  int HelpContext() const override;
  int Index() const { return index_; }

 private:
  void Open(int index);

  const MenuBar& bar_;
  int index_;
};

}  // namespace vm::tui
