// The common part of check boxes and radio buttons: items one under another, each a marker
// and a text. Up and Down move among the items, Space presses the focused one, a click
// presses the item under it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tui/control.h"

namespace vm::tui {

class Cluster : public Control {
 public:
  Cluster(int x, int y, int width, std::vector<std::string> items);

  void Draw(CellBuffer& out, const Palette& palette, Point origin, bool focused) override;
  bool Focusable() const override { return true; }
  void HandleEvent(Event& event) override;

  // Called after the user changed the value.
  void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }
  int FocusedItem() const { return current_; }

 protected:
  // The three characters before an item's text: "[X]", "( )" ...
  virtual std::string Marker(int item) const = 0;
  virtual void Press(int item) = 0;
  // The focus moved to the item by Up or Down.
  virtual void MovedTo(int item) {}
  void Changed();
  int Count() const { return static_cast<int>(items_.size()); }

 private:
  void MoveFocus(int item);

  std::vector<std::string> items_;
  int current_ = 0;
  std::function<void()> onChange_;
};

}  // namespace vm::tui
