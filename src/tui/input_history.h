// Input-line histories by number: the texts typed into the input lines that share a history
// number, the latest last, no duplicates, at most kLimit each. A history may be bound to a
// list that the program keeps elsewhere (in its state files).
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vm::tui {

class InputHistories {
 public:
  static constexpr size_t kLimit = 20;

  void Bind(int id, std::vector<std::string>* list) { bound_[id] = list; }
  const std::vector<std::string>& Entries(int id);
  // Records a text (an empty one is not kept); an equal older entry moves to the end.
  void Add(int id, std::string_view text);

 private:
  std::vector<std::string>& List(int id);

  std::map<int, std::vector<std::string>*> bound_;
  std::map<int, std::vector<std::string>> own_;
};

}  // namespace vm::tui
