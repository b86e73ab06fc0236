#include "tui/menu_box.h"

#include <algorithm>

#include "tui/frame.h"
#include "tui/keys.h"

namespace vm::tui {

MenuBox::MenuBox(const std::vector<MenuItem>& items, int x, int y, std::function<bool(int)> enabled,
                 int barContext)
    : items_(items), enabled_(std::move(enabled)) {
  helpContext = barContext;
  int width = 10;
  for (const MenuItem& item : items_) {
    const int keyWidth = item.keyText.empty() ? 0 : static_cast<int>(item.keyText.size()) + 2;
    width = std::max(width, HotTextWidth(item.text) + keyWidth + 6);
  }
  bounds = Rect{x, y, width, static_cast<int>(items_.size()) + 2};
  Move(1);
}

int MenuBox::HelpContext() const {
  return current_ >= 0 ? items_[static_cast<size_t>(current_)].helpContext : helpContext;
}

bool MenuBox::Choosable(int index) const {
  const MenuItem& item = items_[static_cast<size_t>(index)];
  return !item.separator && enabled_(item.command);
}

void MenuBox::Move(int step) {
  const int count = static_cast<int>(items_.size());
  for (int n = 1; n <= count; ++n) {
    const int i = ((current_ + step * n) % count + count) % count;
    if (Choosable(i)) {
      current_ = i;
      return;
    }
  }
}

void MenuBox::Choose(int index) {
  if (index >= 0 && Choosable(index)) EndModal(items_[static_cast<size_t>(index)].command);
}

void MenuBox::Draw(CellBuffer& out, const Palette& palette) {
  DrawFrame(out, bounds, palette[pal::kMenuNormal], FrameStyle::Single);
  for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
    const MenuItem& item = items_[static_cast<size_t>(i)];
    const int y = bounds.y + 1 + i;
    if (item.separator) {
      const uint8_t attr = palette[pal::kMenuNormal];
      out.Put(bounds.x, y, 0xC3, attr);
      for (int x = bounds.x + 1; x < bounds.Right(); ++x)
        out.Put(x, y, glyph::kSingleHorizontal, attr);
      out.Put(bounds.Right(), y, 0xB4, attr);
      continue;
    }
    const bool lit = i == current_;
    const bool enabled = enabled_(item.command);
    const uint8_t attr = palette[!enabled ? pal::kMenuDisabled
                                 : lit    ? pal::kMenuSelected
                                          : pal::kMenuNormal];
    const uint8_t hot = enabled ? palette[lit ? pal::kMenuSelectedHot : pal::kMenuHot] : attr;
    out.Fill(Rect{bounds.x + 1, y, bounds.width - 2, 1}, ' ', attr);
    out.PutHotText(bounds.x + 2, y, item.text, attr, hot);
    out.PutText(bounds.Right() - 1 - static_cast<int>(item.keyText.size()), y, item.keyText, attr);
  }
}

void MenuBox::HandleEvent(Event& event) {
  if (event.kind == EventKind::Key) {
    switch (event.key) {
      case key::kUp: Move(-1); break;
      case key::kDown: Move(1); break;
      case key::kHome: current_ = -1, Move(1); break;
      case key::kEnd: current_ = 0, Move(-1); break;
      case key::kEnter: Choose(current_); break;
      case key::kEsc:
      case key::F(10): EndModal(cmd::kCancel); break;
      case key::kLeft: EndModal(cmd::kMenuLeft); break;
      case key::kRight: EndModal(cmd::kMenuRight); break;
      default:
        for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
          const unsigned char hot = HotLetter(items_[static_cast<size_t>(i)].text);
          if (key::IsPlainHotLetter(event.key, hot) || key::IsAltHotLetter(event.key, hot)) {
            Choose(i);
            break;
          }
        }
    }
    event.Clear();
  } else if (event.kind == EventKind::Mouse && event.mouse.action != MouseAction::WheelUp &&
             event.mouse.action != MouseAction::WheelDown) {
    const Point p = event.mouse.where;
    if (!bounds.Contains(p) && p.y == bounds.y - 1 && event.mouse.action == MouseAction::Press) {
      clickedColumn_ = p.x;
      EndModal(cmd::kMenuBarClick);
    } else if (!bounds.Contains(p)) {
      EndModal(cmd::kCancel);
    } else if (p.y > bounds.y && p.y < bounds.Bottom()) {
      current_ = p.y - bounds.y - 1;
      Choose(current_);
    }
    event.Clear();
  }
}

}  // namespace vm::tui
