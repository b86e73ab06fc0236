#include "tui/radio_buttons.h"

namespace vm::tui {
namespace {

constexpr char kBullet = '\x07';  // the console font's bullet

}  // namespace

std::string RadioButtons::Marker(int item) const {
  return std::string("(") + (item == value_ ? kBullet : ' ') + ")";
}

void RadioButtons::Press(int item) {
  if (item == value_) return;
  value_ = item;
  Changed();
}

}  // namespace vm::tui
