// The colour dialog over the palette: groups of named palette entries on the left, the chosen
// group's entries beside them, the text and background colours of the chosen entry, and a
// sample in its attribute. The dialog edits a copy: OK hands the copy back, Cancel drops it.
#pragma once

#include <string>
#include <vector>

#include "tui/dialog.h"
#include "tui/palette.h"

namespace vm::tui {

class ColourSelector;
class ListBox;

struct ColourItem {
  std::string name;  // CP866
  int index = 0;     // palette index
};

struct ColourGroup {
  std::string name;
  std::vector<ColourItem> items;
};

class ColourDialog : public Dialog {
 public:
  static constexpr int kWidth = 66;
  static constexpr int kHeight = 19;

  ColourDialog(const Palette& palette, std::vector<ColourGroup> groups);

  void Draw(CellBuffer& out, const Palette& palette) override;
  void HandleEvent(Event& event) override;

  const Palette& Edited() const { return edited_; }
  const ListBox& Groups() const { return *groupList_; }
  const ListBox& Items() const { return *itemList_; }

 private:
  // After every event: the items of the chosen group, the colours of the chosen item, and the
  // chosen colours written into the edited palette.
  void Follow();
  int ItemIndex() const;

  Palette edited_;
  std::vector<ColourGroup> groups_;
  ListBox* groupList_ = nullptr;
  ListBox* itemList_ = nullptr;
  ColourSelector* foreground_ = nullptr;
  ColourSelector* background_ = nullptr;
  int shownGroup_ = -1;
  int shownIndex_ = 0;
};

}  // namespace vm::tui
