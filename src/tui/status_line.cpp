#include "tui/status_line.h"

#include "tui/keys.h"

namespace vm::tui {

const std::vector<StatusItem>& StatusLine::Items() const {
  static const std::vector<StatusItem> none;
  for (const StatusRange& range : ranges_)
    if (context_ >= range.first && context_ <= range.last) return range.items;
  return none;
}

int StatusLine::Gap() const {
  // Two blanks between the items, one when that is what lets them all fit.
  int width = 1;
  for (const StatusItem& item : Items())
    if (!item.text.empty()) width += HotTextWidth(item.text) + 2;
  return width <= bounds.width ? 2 : 1;
}

void StatusLine::Draw(CellBuffer& out, const Palette& palette) {
  out.Fill(bounds, ' ', palette[pal::kStatusNormal]);
  const int gap = Gap();
  int x = bounds.x + 1;
  for (const StatusItem& item : Items()) {
    if (item.text.empty()) continue;
    const bool enabled = enabled_(item.command);
    const uint8_t attr = palette[enabled ? pal::kStatusNormal : pal::kStatusDisabled];
    x += out.PutHotText(x, bounds.y, item.text, attr, enabled ? palette[pal::kStatusHot] : attr) +
         gap;
  }
  const std::string hint = hints_ ? hints_(context_) : std::string();
  if (!hint.empty()) {
    out.Put(x - 1, bounds.y, 0xB3, palette[pal::kStatusNormal]);
    out.PutText(x + 1, bounds.y, hint, palette[pal::kStatusNormal]);
  }
}

int StatusLine::CommandForKey(int pressed) const {
  for (const StatusItem& item : Items())
    if (item.key != 0 && key::SameKey(pressed, item.key) && enabled_(item.command))
      return item.command;
  return 0;
}

int StatusLine::CommandAt(int x) const {
  const int gap = Gap();
  int left = bounds.x + 1;
  for (const StatusItem& item : Items()) {
    if (item.text.empty()) continue;
    const int width = HotTextWidth(item.text);
    if (x >= left && x < left + width) return enabled_(item.command) ? item.command : 0;
    left += width + gap;
  }
  return 0;
}

}  // namespace vm::tui
