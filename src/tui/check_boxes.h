// Check boxes: each item one bit of the value (the first item bit 1, the next bit 2 ...),
// "[X]" when set.
#pragma once

#include <cstdint>

#include "tui/cluster.h"

namespace vm::tui {

class CheckBoxes : public Cluster {
 public:
  using Cluster::Cluster;

  uint32_t Value() const { return value_; }
  void SetValue(uint32_t value) { value_ = value; }
  bool Checked(int item) const { return (value_ >> item) & 1u; }

 protected:
  std::string Marker(int item) const override;
  void Press(int item) override;

 private:
  uint32_t value_ = 0;
};

}  // namespace vm::tui
