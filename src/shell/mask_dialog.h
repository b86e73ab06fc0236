// The dialog of select and unselect by mask: the title, the input line "~М~аска" and OK and
// Cancel. Returns the mask typed, or nothing when cancelled.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vm::tui {
class Application;
}

namespace vm::shell {

// helpContext: the help context of selecting or of unselecting.
std::optional<std::string> AskMask(tui::Application& app, std::string_view title,
                                   std::string_view initial, int helpContext);

}  // namespace vm::shell
