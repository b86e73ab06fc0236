// A window over the whole desktop that holds a text editor, run modally; Esc or a click on
// the close mark at the top-left corner ends it, and the text stays for the caller to take.
#pragma once

#include <string>

#include "tui/group.h"
#include "tui/text_editor.h"

namespace vm::tui {

class EditorWindow : public Group {
 public:
  EditorWindow(std::string title, size_t limit);

  void Draw(CellBuffer& out, const Palette& palette) override;
  void HandleEvent(Event& event) override;
  void Layout(const Rect& desktop) override;

  TextEditor& Editor() { return editor_; }

 private:
  bool OnCloseMark(Point where) const;

  std::string title_;
  TextEditor& editor_;
};

}  // namespace vm::tui
