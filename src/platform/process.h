// Child processes: commands run through /bin/sh -c with their arguments quoted.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vm {

// One shell word (CP866) that stands for exactly the given text.
std::string ShellQuote(std::string_view text);

// Replaces %1, %2, %3 ... in the command template with the quoted arguments (a "%" not followed
// by a digit of a given argument stays as it is) and runs the result through /bin/sh -c.
// Returns the exit status, or -1 when the process could not be started.
int RunCommand(std::string_view commandTemplate, const std::vector<std::string>& arguments,
               bool hideOutput = false);

}  // namespace vm
