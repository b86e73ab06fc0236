#include "tui/input_history.h"

#include <algorithm>

namespace vm::tui {

std::vector<std::string>& InputHistories::List(int id) {
  auto bound = bound_.find(id);
  return bound != bound_.end() ? *bound->second : own_[id];
}

const std::vector<std::string>& InputHistories::Entries(int id) { return List(id); }

void InputHistories::Add(int id, std::string_view text) {
  if (text.empty()) return;
  std::vector<std::string>& list = List(id);
  std::erase(list, std::string(text));
  list.emplace_back(text);
  if (list.size() > kLimit) list.erase(list.begin(), list.end() - kLimit);
}

}  // namespace vm::tui
