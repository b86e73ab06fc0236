#include "tui/check_boxes.h"

namespace vm::tui {

std::string CheckBoxes::Marker(int item) const { return Checked(item) ? "[X]" : "[ ]"; }

void CheckBoxes::Press(int item) {
  value_ ^= 1u << item;
  Changed();
}

}  // namespace vm::tui
