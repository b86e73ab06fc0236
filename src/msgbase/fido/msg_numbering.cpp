#include "msgbase/fido/msg_numbering.h"

#include "platform/file_system.h"
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

void MsgNumbering::Fill(std::string_view programDir) {
  names_.clear();
  for (const DirEntry& entry : ListDirectory(programDir)) {
    if (entry.isDirectory) continue;
    int32_t number = NumberOfName(entry.name);
    if (number == 0) continue;
    // The names are ASCII, the same in CP866 and on disk. Of "12.msg" and "012.msg" the
    // plain one wins, as other programs would open that one.
    auto [it, added] = names_.emplace(number, entry.name);
    if (!added && entry.name[0] != '0') it->second = entry.name;
  }
}

void MsgNumbering::Add(int32_t number, std::string name) { names_[number] = std::move(name); }

void MsgNumbering::Remove(int32_t number) { names_.erase(number); }

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
