// The help window: one topic of the help file in a framed window over the desktop, scrolled
// with the cursor keys and the wheel. Tab and Shift+Tab pick the next and the previous
// cross-reference, Enter (or a click on one) follows it, Backspace goes back to the topic
// shown before, Esc closes the window.
#pragma once

#include <vector>

#include "tui/help_file.h"
#include "tui/view.h"

namespace vm::tui {

class HelpWindow : public ModalView {
 public:
  static constexpr int kWidth = 78;

  HelpWindow(const HelpFile& help, int topic);

  void Draw(CellBuffer& out, const Palette& palette) override;
  void HandleEvent(Event& event) override;
  void Layout(const Rect& desktop) override;

  // Shows the topic, as following a cross-reference to it does (Backspace comes back).
  void ShowTopic(int topic) { Open(topic); }
  int Topic() const { return topic_; }
  int TopLine() const { return top_; }
  // The picked cross-reference's target, 0 when none is picked.
  int PickedTarget() const;

 private:
  struct Place {
    int topic = 0;
    int top = 0;
    int link = -1;
  };
  struct LinkAt {
    int line = 0;
    HelpLink link;
  };

  void Open(int topic);
  void Back();
  void Scroll(int top);
  void Pick(int link);
  void HandleKey(int key);
  void HandleMouse(const MouseEvent& mouse);
  const std::vector<HelpLine>& Lines() const;
  int TextRows() const { return bounds.height - 2; }

  const HelpFile& help_;
  int topic_ = 0;
  int top_ = 0;
  int link_ = -1;  // index into links_, -1 for none
  std::vector<LinkAt> links_;
  std::vector<Place> history_;
  std::vector<HelpLine> missing_;  // what a topic the file lacks shows
};

}  // namespace vm::tui
