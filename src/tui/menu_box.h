// A menu box: the drop-down list of one menu bar item, run modally. It ends with the chosen
// item's command, with Cancel, with kMenuLeft / kMenuRight to open the neighbour menu, or with
// kMenuBarClick when the menu bar was clicked (to open the menu there).
#pragma once

#include <functional>
#include <vector>

#include "tui/menu_bar.h"
#include "tui/view.h"

namespace vm::tui {

namespace cmd {
inline constexpr int kMenuLeft = 14;
inline constexpr int kMenuRight = 15;
// A click on the menu bar's row: ClickedColumn tells where.
inline constexpr int kMenuBarClick = 16;
}  // namespace cmd

class MenuBox : public ModalView {
 public:
  // The box hangs below the column x of the menu bar's row; barContext is the help context
  // of its menu bar item, the box's own while no item is current (an empty menu).
  MenuBox(const std::vector<MenuItem>& items, int x, int y, std::function<bool(int)> enabled,
          int barContext = hc::kNoContext);

  void Draw(CellBuffer& out, const Palette& palette) override;
  void HandleEvent(Event& event) override;
  int Current() const { return current_; }
  int ClickedColumn() const { return clickedColumn_; }
  // The current item's help context.
  int HelpContext() const override;

 private:
  bool Choosable(int index) const;
  void Move(int step);
  void Choose(int index);

  const std::vector<MenuItem>& items_;
  std::function<bool(int)> enabled_;
  int current_ = -1;
  int clickedColumn_ = -1;
};

}  // namespace vm::tui
