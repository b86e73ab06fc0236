// The status line on the screen's bottom row: key items ("~F3~ Информация") that run their
// command when the key is pressed or the item clicked, items bound to a key without a text,
// and the hint of the current help context on the right. Which items stand there depends on
// the help context: each range of contexts has its own set.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tui/view.h"

namespace vm::tui {

struct StatusItem {
  std::string text;  // CP866, "~" around the key's name; empty: a bound key only
  int key = 0;
  int command = 0;
};

// The items shown while the help context lies in first..last.
struct StatusRange {
  int first = 0;
  int last = 0;
  std::vector<StatusItem> items;
};

class StatusLine : public View {
 public:
  // The first range that holds the context applies; none: an empty line.
  void SetRanges(std::vector<StatusRange> ranges) { ranges_ = std::move(ranges); }
  // One set of items for every context.
  void SetItems(std::vector<StatusItem> items) { SetRanges({{0, 0xFFFF, std::move(items)}}); }
  // The hint text of a help context (CP866, empty for none).
  void SetHints(std::function<std::string(int context)> hints) { hints_ = std::move(hints); }
  void SetEnabled(std::function<bool(int)> enabled) { enabled_ = std::move(enabled); }
  void SetContext(int context) { context_ = context; }
  int Context() const { return context_; }

  void Draw(CellBuffer& out, const Palette& palette) override;
  int CommandForKey(int key) const;
  // The command of the item drawn at the column, 0 when none.
  int CommandAt(int x) const;

 private:
  const std::vector<StatusItem>& Items() const;
  int Gap() const;

  std::vector<StatusRange> ranges_;
  std::function<std::string(int)> hints_;
  std::function<bool(int)> enabled_ = [](int) { return true; };
  int context_ = 0;
};

}  // namespace vm::tui
