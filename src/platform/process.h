// Child processes: commands run through /bin/sh -c with their arguments quoted.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vm {

// How a child starts: where it runs and whether it is seen.
struct ChildSetup {
  // The child's working directory (a program path): the child enters it before the command
  // runs, this process never does. Empty: this process's own, the start directory.
  std::string workingDirectory = {};
  // The child's stdin, stdout and stderr are /dev/null.
  bool hideOutput = false;
};

// One shell word (CP866) that stands for exactly the given text.
std::string ShellQuote(std::string_view text);

// Replaces %1, %2, %3 ... in the command template with the arguments, each quoted so that the
// shell takes it as exactly its text whether the template wrote the placeholder bare, in
// double quotes or in single quotes (a "%" not followed by the digit of a given argument stays
// as it is), and runs the result through /bin/sh -c, waiting for its end. Returns the exit
// status, or -1 when the process could not be started (its working directory cannot be
// entered, among others) or was killed by a signal.
int RunCommand(std::string_view commandTemplate, const std::vector<std::string>& arguments,
               const ChildSetup& setup = {});

// As RunCommand, with every placeholder standing for a list of texts, each quoted on its own
// and separated by blanks (the packer's %2, the files to pack).
int RunCommandWithLists(std::string_view commandTemplate,
                        const std::vector<std::vector<std::string>>& arguments,
                        const ChildSetup& setup = {});

}  // namespace vm
