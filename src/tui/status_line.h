// The status line on the screen's bottom row: key items ("~F3~ Информация") that run their
// command when the key is pressed or the item clicked, items bound to a key without a text,
// and the hint of the current help context on the right.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tui/view.h"

namespace vm::tui {

struct StatusItem {
  std::string text;  // CP866, "~" around the key's name; empty: a bound key only
  int key = 0;
  int command = 0;
};

class StatusLine : public View {
 public:
  void SetItems(std::vector<StatusItem> items) { items_ = std::move(items); }
  void SetHint(std::string hint) { hint_ = std::move(hint); }
  void SetEnabled(std::function<bool(int)> enabled) { enabled_ = std::move(enabled); }

  void Draw(CellBuffer& out, const Palette& palette) override;
  int CommandForKey(int key) const;
  // The command of the item drawn at the column, 0 when none.
  int CommandAt(int x) const;

 private:
  std::vector<StatusItem> items_;
  std::string hint_;
  std::function<bool(int)> enabled_ = [](int) { return true; };
};

}  // namespace vm::tui
