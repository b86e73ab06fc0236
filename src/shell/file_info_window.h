// The file information window: a title, six lines and an OK button, shown modally.
#pragma once

#include "decode/file_info.h"

namespace vm::tui {
class Application;
}

namespace vm::shell {

void ShowFileInfo(tui::Application& app, const FileInfoText& info);

}  // namespace vm::shell
