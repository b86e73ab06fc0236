// The page of the help window: the lines of one topic under the window's frame, its cross-
// references lit, the picked one in its own colour, and a scroll bar on the window's right
// frame while the topic is longer than the page. The arrows, PgUp, PgDn, Home, End and the
// wheel scroll; Tab and Shift+Tab pick the next and the previous reference, keeping it in
// view; Enter or a click on a reference follows it (the window is told its target).
#pragma once

#include <functional>
#include <vector>

#include "tui/control.h"
#include "tui/help_file.h"

namespace vm::tui {

class HelpPage : public Control {
 public:
  explicit HelpPage(std::function<void(int topic)> follow) : follow_(std::move(follow)) {}

  void Draw(CellBuffer& out, const Palette& palette, Point origin, bool focused) override;
  bool Focusable() const override { return true; }
  void HandleEvent(Event& event) override;

  // Shows the lines (they outlive the page) from the top line, the reference `link` picked.
  void Show(const std::vector<HelpLine>& lines, int top, int link);
  // Keeps the top line within the lines after the page changed its size.
  void Fit() { Scroll(top_); }
  int TopLine() const { return top_; }
  // The picked reference (-1 for none) and its target (0 for none).
  int PickedLink() const { return link_; }
  int PickedTarget() const;

 private:
  struct LinkAt {
    int line = 0;
    HelpLink link;
  };

  int TextRows() const { return local.height; }
  int TextWidth() const { return local.width - 1; }
  int MostTop() const;
  void Scroll(int top);
  void Pick(int link);
  bool HandleKey(int key);
  void HandleMouse(const MouseEvent& mouse);

  std::function<void(int)> follow_;
  const std::vector<HelpLine>* lines_ = nullptr;
  std::vector<LinkAt> links_;
  int top_ = 0;
  int link_ = -1;  // index into links_, -1 for none
};

}  // namespace vm::tui
