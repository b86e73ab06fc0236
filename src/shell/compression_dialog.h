// The compression dialog: the name of the archive that the packer makes of the files before
// they are posted.
#pragma once

#include <string>
#include <string_view>

#include "shell/prompts.h"

namespace vm {
struct Settings;
}
namespace vm::tui {
class Application;
}

namespace vm::shell {

// The input-line history of archive names.
inline constexpr int kArchiveHistory = 8;

// Whether the name is a plain file name: a name part and an extension, no directory, nothing
// a packer could take for an option.
bool ValidArchiveName(std::string_view name);

// Asks for the archive's name; empty when there is no packer (with its message) or the user
// cancelled.
std::string RunCompressionDialog(tui::Application& app, const Settings& settings, Prompts& prompts);

}  // namespace vm::shell
