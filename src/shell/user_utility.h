// The user utilities of the Сервис menu: the command line built from the utility's command,
// the parameters dialog, and the run with the screen handed to the child.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vm {
class Console;
struct ExternalUtility;
}  // namespace vm

namespace vm::tui {
class Application;
}

namespace vm::shell {

// The parameters dialog's own input history.
inline constexpr int kParameterHistory = 9;

// The command with its first "%1" replaced by the file name, its first "%2" by the area word
// and its first "%3" by nothing; the two values each quoted as one shell word (they may come
// from other people's file names). Later occurrences stay as they are, and nothing inside a
// substituted value is taken for a placeholder.
std::string BuildUtilityCommand(std::string_view command, std::string_view fileName,
                                std::string_view areaWord);

// The parameters dialog, titled with the utility's menu text, its line prefilled with the
// command line, in the utility's help context; the edited line, or nothing on Cancel.
std::optional<std::string> AskUtilityParameters(tui::Application& app,
                                                const ExternalUtility& utility,
                                                std::string commandLine, int helpContext);

// Runs the command line through /bin/sh -c (an empty one starts the user's shell) in the
// directory (the directory panel's) and waits for it. The screen is handed to it, unless HideScreen
// asks for the child to run unseen with its input and output on /dev/null; with Pause and the
// screen handed over, a key is awaited before the screen comes back.
void RunUtilityCommand(tui::Application& app, Console& console, const ExternalUtility& utility,
                       const std::string& commandLine, const std::string& directory);

}  // namespace vm::shell
