// The usage text and the detailed help of each command.
#pragma once

#include <string>
#include <string_view>

#include "platform/console.h"

namespace vm {

// The detailed help of the command (in its command form, "ENCODE"), or the general usage
// for any other word; each line ends in a line break, and an empty line follows.
std::string UsageText(std::string_view commandWord);

void PrintUsage(Console& console, std::string_view commandWord);

}  // namespace vm
