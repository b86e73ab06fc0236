#include "shell/box_console.h"

#include "tui/message_box.h"

namespace vm::shell {

void BoxConsole::Write(std::string_view text) {
  for (char c : text) {
    if (c != '\n') {
      line_ += c;
      continue;
    }
    if (!line_.empty()) tui::ShowError(app_, line_);
    line_.clear();
  }
}

}  // namespace vm::shell
