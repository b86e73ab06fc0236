// The GoldEd entry: a user utility in GoldEd's configuration that starts this program on the
// message being read (/Open with the area, the sender's name and address), and a key for it.
#pragma once

#include <string_view>

#include "platform/console.h"

namespace vm {

// Asks for the key, then appends the ExternUtil line to goldEdDir + "golded.cfg" and the key
// line to goldEdDir + "goldkeys.cfg" (goldEdDir ends in a separator or is empty for the current
// directory). A file that is missing or cannot be opened is reported and passed over. False
// when the key question was cancelled (Esc, the end of input); nothing is written then.
bool SetUpGoldEd(std::string_view goldEdDir, std::string_view programFile, Console& console);

}  // namespace vm
