// The help window: one topic of the help file in a framed window over the desktop, on a page
// that scrolls and picks cross-references (help_page.h). Following a reference opens its
// topic, Backspace (or Alt+Left) goes back to the topic shown before, Esc closes the window.
#pragma once

#include <vector>

#include "tui/group.h"
#include "tui/help_file.h"
#include "tui/help_page.h"

namespace vm::tui {

class HelpWindow : public Group {
 public:
  static constexpr int kWidth = 78;

  HelpWindow(const HelpFile& help, int topic);

  void Draw(CellBuffer& out, const Palette& palette) override;
  void HandleEvent(Event& event) override;
  void Layout(const Rect& desktop) override;

  // Shows the topic, as following a cross-reference to it does (Backspace comes back).
  void ShowTopic(int topic) { Open(topic); }
  int Topic() const { return topic_; }
  int TopLine() const { return page_.TopLine(); }
  // The picked cross-reference's target, 0 when none is picked.
  int PickedTarget() const { return page_.PickedTarget(); }

 private:
  struct Place {
    int topic = 0;
    int top = 0;
    int link = -1;
  };

  void Open(int topic);
  void Back();
  const std::vector<HelpLine>& Lines() const;

  const HelpFile& help_;
  HelpPage& page_;
  int topic_ = 0;
  std::vector<Place> history_;
  std::vector<HelpLine> missing_;  // what a topic the file lacks shows
};

}  // namespace vm::tui
