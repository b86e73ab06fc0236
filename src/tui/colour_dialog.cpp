#include "tui/colour_dialog.h"

#include <memory>

#include "text/cp866.h"
#include "tui/button.h"
#include "tui/colour_selector.h"
#include "tui/label.h"
#include "tui/list_box.h"

namespace vm::tui {
namespace {

constexpr int kListRows = 12;
constexpr int kColourColumn = 47;
constexpr int kSampleRow = 13;

}  // namespace

ColourDialog::ColourDialog(const Palette& palette, std::vector<ColourGroup> groups)
    : Dialog(kWidth, kHeight, Cp866("Цвета")), edited_(palette), groups_(std::move(groups)) {
  groupList_ = &Add(std::make_unique<ListBox>(3, 3, 19, kListRows));
  Add(std::make_unique<Label>(2, 2, Cp866("~Г~руппа"), groupList_));
  itemList_ = &Add(std::make_unique<ListBox>(23, 3, 22, kListRows));
  Add(std::make_unique<Label>(22, 2, Cp866("~Э~лемент"), itemList_));
  foreground_ = &Add(std::make_unique<ColourSelector>(kColourColumn, 3));
  Add(std::make_unique<Label>(kColourColumn, 2, Cp866("~Т~екст"), foreground_));
  background_ = &Add(std::make_unique<ColourSelector>(kColourColumn, 9));
  Add(std::make_unique<Label>(kColourColumn, 8, Cp866("~Ф~он"), background_));
  Add(std::make_unique<Button>(17, 16, 12, "O~k~", cmd::kOk));
  Add(std::make_unique<Button>(35, 16, 12, Cp866("~О~тмена"), cmd::kCancel));
  SetDefaultCommand(cmd::kOk);
  std::vector<std::string> names;
  for (const ColourGroup& group : groups_) names.push_back(group.name);
  groupList_->SetItems(std::move(names));
  Follow();
}

int ColourDialog::ItemIndex() const {
  const int group = groupList_->FocusedItem();
  const int item = itemList_->FocusedItem();
  if (group < 0 || item < 0) return 0;
  const auto& items = groups_[static_cast<size_t>(group)].items;
  return item < static_cast<int>(items.size()) ? items[static_cast<size_t>(item)].index : 0;
}

void ColourDialog::Follow() {
  const int group = groupList_->FocusedItem();
  if (group != shownGroup_) {
    shownGroup_ = group;
    std::vector<std::string> names;
    if (group >= 0)
      for (const ColourItem& item : groups_[static_cast<size_t>(group)].items)
        names.push_back(item.name);
    itemList_->SetItems(std::move(names));
    itemList_->FocusItem(0);
  }
  const int index = ItemIndex();
  if (index != shownIndex_) {
    shownIndex_ = index;
    foreground_->value = edited_[index] & 0x0F;
    background_->value = edited_[index] >> 4;
  } else if (index != 0) {
    edited_.Set(index, static_cast<uint8_t>(background_->value << 4 | foreground_->value));
  }
}

void ColourDialog::HandleEvent(Event& event) {
  Dialog::HandleEvent(event);
  Follow();
}

void ColourDialog::Draw(CellBuffer& out, const Palette& palette) {
  Dialog::Draw(out, palette);
  if (shownIndex_ == 0) return;
  const std::string sample = Cp866(" Образец текста ");
  out.PutText(bounds.x + kColourColumn, bounds.y + kSampleRow, sample.substr(0, 16),
              edited_[shownIndex_]);
}

}  // namespace vm::tui
