#include "app/command_line.h"

#include <algorithm>

#include "text/cp866.h"

namespace vm {

std::string CommandForm(std::string_view word) {
  if (!word.empty() && (word.front() == '-' || word.front() == '/')) word.remove_prefix(1);
  return UpCaseCp866(word);
}

const std::string& CommandLine::Argument(size_t index) const {
  static const std::string kNone;
  return index >= 1 && index <= arguments_.size() ? arguments_[index - 1] : kNone;
}

bool CommandLine::ParamPresent(std::string_view name) const {
  std::string wanted = CommandForm(name);
  // Without arguments the empty argument 1 is compared all the same.
  size_t last = std::max<size_t>(arguments_.size(), 1);
  for (size_t i = 1; i <= last; ++i)
    if (CommandForm(Argument(i)) == wanted) return true;
  return false;
}

std::string CommandLine::StartLogLine() const {
  std::string line = Cp866("Запуск с параметрами: ");
  for (const std::string& argument : arguments_) line += argument + " ";
  return line;
}

}  // namespace vm
