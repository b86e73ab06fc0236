#include "tui/label.h"

#include "tui/group.h"

namespace vm::tui {

Label::Label(int x, int y, std::string text, Control* link) : text_(std::move(text)), link_(link) {
  local = Rect{x, y, HotTextWidth(text_), 1};
}

void Label::Draw(CellBuffer& out, const Palette& palette, Point origin, bool) {
  out.PutHotText(origin.x + local.x, origin.y + local.y, text_, palette[Colours().text],
                 palette[Colours().hot]);
}

void Label::Activate() {
  if (link_ != nullptr && owner != nullptr) owner->Focus(*link_);
}

}  // namespace vm::tui
