#include "msgbase/fido/msg_numbering.h"

#include "platform/host_files.h"
#include "text/cp866.h"

namespace vm {

int32_t MsgNumbering::NumberOfName(std::string_view name) {
  size_t dot = name.find('.');
  if (dot == 0 || dot == std::string_view::npos || dot > 9) return 0;
  if (!EqualNoCaseCp866(name.substr(dot), ".MSG")) return 0;
  int32_t number = 0;
  for (size_t i = 0; i < dot; ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    number = number * 10 + (name[i] - '0');
  }
  return number >= 1 && number <= kHighest ? number : 0;
}

void MsgNumbering::Fill(const std::string& hostDir) {
  names_.clear();
  for (std::string& name : ListHostDirectoryFiles(hostDir)) {
    int32_t number = NumberOfName(name);
    if (number == 0) continue;
    // Of "12.msg" and "012.msg" the plain one wins, as other programs would open that one.
    auto [it, added] = names_.emplace(number, name);
    if (!added && name[0] != '0') it->second = std::move(name);
  }
}

void MsgNumbering::Add(int32_t number, std::string name) {
  names_[number] = std::move(name);
}

void MsgNumbering::Remove(int32_t number) {
  names_.erase(number);
}

const std::string* MsgNumbering::NameOf(int32_t number) const {
  auto it = names_.find(number);
  return it == names_.end() ? nullptr : &it->second;
}

int32_t MsgNumbering::NextAfter(int32_t number) const {
  auto it = names_.upper_bound(number);
  return it == names_.end() ? 0 : it->first;
}

int32_t MsgNumbering::PreviousBefore(int32_t number) const {
  auto it = names_.lower_bound(number);
  return it == names_.begin() ? 0 : std::prev(it)->first;
}

}  // namespace vm
