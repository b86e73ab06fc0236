// The command line: the command word and the switches, which may stand anywhere.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vm {

// A word as commands and switches are compared: upper-cased (CP866), one leading "-" or "/"
// removed. "/anyway", "-AnyWay" and "ANYWAY" all give "ANYWAY".
std::string CommandForm(std::string_view word);

class CommandLine {
 public:
  // The arguments as CP866 texts, from argument 1 on (the program's own path left out).
  explicit CommandLine(std::vector<std::string> arguments) : arguments_(std::move(arguments)) {}

  size_t Count() const { return arguments_.size(); }
  // Argument `index` counted from 1; empty past the last one.
  const std::string& Argument(size_t index) const;
  // Argument 1 in its command form: "ENCODE" for "/Encode".
  std::string CommandWord() const { return CommandForm(Argument(1)); }

  // Whether any argument equals `name`, both in their command form.
  bool ParamPresent(std::string_view name) const;

  // "Запуск с параметрами: " and every argument followed by a blank, for the log.
  std::string StartLogLine() const;

 private:
  std::vector<std::string> arguments_;
};

}  // namespace vm
