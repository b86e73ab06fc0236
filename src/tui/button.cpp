#include "tui/button.h"

#include "tui/frame.h"
#include "tui/group.h"
#include "tui/keys.h"

namespace vm::tui {

Button::Button(int x, int y, int width, std::string text, int command)
    : text_(std::move(text)), command_(command) {
  local = Rect{x, y, width, 2};
}

void Button::Draw(CellBuffer& out, const Palette& palette, Point origin, bool focused) {
  const int x = origin.x + local.x;
  const int y = origin.y + local.y;
  const int face = local.width - 1;
  const ColourRoles& colours = Colours();
  const uint8_t attr = palette[focused ? colours.buttonFocused : colours.button];
  out.Fill(Rect{x, y, face, 1}, ' ', attr);
  const int textWidth = HotTextWidth(text_);
  out.PutHotText(x + (face - textWidth) / 2, y, text_, attr, palette[colours.buttonHot]);
  // The shadow: a half block right of the face and a row of upper halves under it.
  const uint8_t shadow = palette[colours.buttonShadow];
  out.Put(x + face, y, glyph::kLowerHalf, shadow);
  for (int i = 1; i <= face; ++i) out.Put(x + i, y + 1, glyph::kUpperHalf, shadow);
  if (focused) out.SetCursor(x + (face - textWidth) / 2, y);
}

void Button::HandleEvent(Event& event) {
  if (event.kind == EventKind::Key && (event.key == key::kEnter || event.key == ' ')) {
    Activate();
    event.Clear();
  }
}

void Button::Activate() {
  if (owner != nullptr) owner->Close(command_);
}

}  // namespace vm::tui
