#include "tui/editor_window.h"

#include <memory>

#include "text/cp866.h"
#include "tui/frame.h"
#include "tui/keys.h"

namespace vm::tui {
namespace {

constexpr int kCloseMarkX = 2;  // "[■]" from the window's left edge

}  // namespace

EditorWindow::EditorWindow(std::string title, size_t limit)
    : title_(std::move(title)), editor_(Add(std::make_unique<TextEditor>(Rect{}, limit))) {
  helpContext = hc::kInput;
  SetRoles(kWindowRoles);
}

void EditorWindow::Layout(const Rect& desktop) {
  bounds = desktop;
  // The text inside the frame; the editor's scroll bars lie on the right and bottom frame.
  editor_.local = Rect{1, 1, bounds.width - 1, bounds.height - 1};
}

void EditorWindow::Draw(CellBuffer& out, const Palette& palette) {
  const uint8_t frame = palette[Roles().frame];
  DrawFrame(out, bounds, frame, FrameStyle::Double, title_);
  out.PutText(bounds.x + kCloseMarkX, bounds.y, "[\xFE]", frame);
  const std::string hint = Cp866(" Esc - готово ");
  out.PutText(bounds.Right() - 2 - static_cast<int>(hint.size()), bounds.y, hint, frame);
  Group::Draw(out, palette);
}

bool EditorWindow::OnCloseMark(Point where) const {
  return where.y == bounds.y && where.x >= bounds.x + kCloseMarkX &&
         where.x < bounds.x + kCloseMarkX + 3;
}

void EditorWindow::HandleEvent(Event& event) {
  if ((event.kind == EventKind::Key && event.key == key::kEsc) ||
      (event.kind == EventKind::Command && event.command == cmd::kEndInput) ||
      (event.kind == EventKind::Mouse && event.mouse.action == MouseAction::Press &&
       OnCloseMark(event.mouse.where))) {
    EndModal(cmd::kOk);
  } else {
    Group::HandleEvent(event);
  }
  event.Clear();
}

}  // namespace vm::tui
