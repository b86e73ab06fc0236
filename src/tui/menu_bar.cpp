#include "tui/menu_bar.h"

#include "tui/keys.h"

namespace vm::tui {

void MenuBar::Draw(CellBuffer& out, const Palette& palette) {
  out.Fill(bounds, ' ', palette[pal::kMenuNormal]);
  for (size_t i = 0; i < items_.size(); ++i) {
    const bool lit = static_cast<int>(i) == highlighted;
    const uint8_t attr = palette[lit ? pal::kMenuSelected : pal::kMenuNormal];
    const uint8_t hot = palette[lit ? pal::kMenuSelectedHot : pal::kMenuHot];
    const int x = ItemColumn(static_cast<int>(i));
    out.Put(x, bounds.y, ' ', attr);
    const int width = out.PutHotText(x + 1, bounds.y, items_[i].text, attr, hot);
    out.Put(x + 1 + width, bounds.y, ' ', attr);
  }
}

int MenuBar::ItemColumn(int index) const {
  int x = bounds.x + 1;
  for (int i = 0; i < index && i < static_cast<int>(items_.size()); ++i)
    x += HotTextWidth(items_[static_cast<size_t>(i)].text) + 2;
  return x;
}

int MenuBar::ItemAt(int x) const {
  for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
    const int left = ItemColumn(i);
    if (x >= left && x < left + HotTextWidth(items_[static_cast<size_t>(i)].text) + 2)
      return items_[static_cast<size_t>(i)].inert ? -1 : i;
  }
  return -1;
}

int MenuBar::CommandForKey(int pressed) const {
  for (const MenuBarItem& top : items_) {
    if (top.key != 0 && key::SameKey(pressed, top.key) && enabled_(top.command)) return top.command;
    for (const MenuItem& item : top.items)
      if (!item.separator && item.key != 0 && key::SameKey(pressed, item.key) &&
          enabled_(item.command))
        return item.command;
  }
  return 0;
}

int MenuBar::ItemForAltKey(int key) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (!items_[i].inert && key::IsAltHotLetter(key, HotLetter(items_[i].text)))
      return static_cast<int>(i);
  return -1;
}

int MenuBar::FirstMenu() const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (!items_[i].inert && items_[i].command == 0) return static_cast<int>(i);
  return Neighbour(-1, 1);
}

int MenuBar::Neighbour(int index, int step) const {
  const int count = static_cast<int>(items_.size());
  for (int n = 1; n <= count; ++n) {
    const int i = ((index + step * n) % count + count) % count;
    if (!items_[static_cast<size_t>(i)].inert) return i;
  }
  return index;
}

}  // namespace vm::tui
