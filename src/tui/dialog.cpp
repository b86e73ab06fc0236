#include "tui/dialog.h"

#include "tui/frame.h"
#include "tui/keys.h"

namespace vm::tui {

Dialog::Dialog(int width, int height, std::string title) : title_(std::move(title)) {
  bounds = Rect{0, 0, width, height};
  helpContext = hc::kNoKeys;
}

void Dialog::Layout(const Rect& desktop) { bounds = Centred(desktop, bounds.width, bounds.height); }

void Dialog::Close(int command) {
  if (beforeClose_ && !beforeClose_(command)) return;
  if (command == cmd::kOk || command == cmd::kYes) CommitAll();
  EndModal(command);
}

void Dialog::Draw(CellBuffer& out, const Palette& palette) {
  DrawFrame(out, bounds, palette[Roles().frame], FrameStyle::Double, title_);
  Group::Draw(out, palette);
}

void Dialog::HandleEvent(Event& event) {
  if (event.kind == EventKind::Command) {
    // A key of the status line: as the button with that command.
    Close(event.command);
    event.Clear();
    return;
  }
  if (event.kind != EventKind::Key && event.kind != EventKind::Mouse) return;
  Group::HandleEvent(event);
  if (event.kind == EventKind::Key) {
    if (event.key == key::kEsc)
      Close(cmd::kCancel);
    else if (event.key == key::kEnter && defaultCommand_ != 0)
      Close(defaultCommand_);
  }
  event.Clear();
}

}  // namespace vm::tui
