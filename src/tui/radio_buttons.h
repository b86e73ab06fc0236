// Radio buttons: the value is the number of the one chosen item (from 0), marked "(•)".
// Moving the focus with Up or Down chooses the item it moves to.
#pragma once

#include "tui/cluster.h"

namespace vm::tui {

class RadioButtons : public Cluster {
 public:
  using Cluster::Cluster;

  int Value() const { return value_; }
  void SetValue(int value) { value_ = value; }

 protected:
  std::string Marker(int item) const override;
  void Press(int item) override;
  void MovedTo(int item) override { Press(item); }

 private:
  int value_ = 0;
};

}  // namespace vm::tui
