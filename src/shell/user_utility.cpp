#include "shell/user_utility.h"

#include <array>
#include <memory>

#include "config/settings.h"
#include "platform/console.h"
#include "platform/process.h"
#include "text/cp866.h"
#include "tui/application.h"
#include "tui/button.h"
#include "tui/dialog.h"
#include "tui/input_line.h"
#include "tui/label.h"

namespace vm::shell {
namespace {

constexpr size_t kParametersLength = 255;
constexpr int kDialogWidth = 64;

std::string WithoutHotMarks(std::string_view text) {
  std::string plain(text);
  std::erase(plain, '~');
  return plain;
}

}  // namespace

std::string BuildUtilityCommand(std::string_view command, std::string_view fileName,
                                std::string_view areaWord) {
  const std::array<std::string, 3> values{ShellQuote(fileName), ShellQuote(areaWord), ""};
  std::array<bool, 3> done{};
  std::string line;
  for (size_t i = 0; i < command.size(); ++i) {
    if (command[i] == '%' && i + 1 < command.size() && command[i + 1] >= '1' &&
        command[i + 1] <= '3') {
      const size_t n = static_cast<size_t>(command[i + 1] - '1');
      if (!done[n]) {
        done[n] = true;
        line += values[n];
        ++i;
        continue;
      }
    }
    line += command[i];
  }
  return line;
}

std::optional<std::string> AskUtilityParameters(tui::Application& app,
                                                const ExternalUtility& utility,
                                                std::string commandLine, int helpContext) {
  tui::Dialog dialog(kDialogWidth, 8, WithoutHotMarks(utility.title));
  dialog.helpContext = helpContext;
  auto& input = dialog.Add(std::make_unique<tui::InputLine>(
      14, 2, kDialogWidth - 17, kParametersLength, &app.Histories(), kParameterHistory));
  input.SetText(std::move(commandLine));
  dialog.Add(std::make_unique<tui::Label>(3, 2, Cp866("Параметры:"), &input));
  dialog.Add(std::make_unique<tui::Button>(17, 5, 12, "O~k~", tui::cmd::kOk));
  dialog.Add(std::make_unique<tui::Button>(34, 5, 12, Cp866("~O~тмена"), tui::cmd::kCancel));
  dialog.SetDefaultCommand(tui::cmd::kOk);
  if (app.Execute(dialog) != tui::cmd::kOk) return std::nullopt;
  return input.Text();
}

void RunUtilityCommand(tui::Application& app, Console& console, const ExternalUtility& utility,
                       const std::string& commandLine, const std::string& directory) {
  // The command line is run as it stands: its placeholders were filled in already.
  const std::string line = commandLine.empty() ? "exec \"${SHELL:-/bin/sh}\"" : commandLine;
  if (utility.RunOptions & ExternalUtility::kHideScreen) {
    RunCommand(line, {}, ChildSetup{.workingDirectory = directory, .hideOutput = true});
    return;
  }
  app.RunSuspended([&] {
    RunCommand(line, {}, ChildSetup{.workingDirectory = directory});
    if (utility.RunOptions & ExternalUtility::kPause) {
      console.Write(Cp866("\nНажмите любую клавишу для продолжения..."));
      console.WaitKey();
    }
  });
}

}  // namespace vm::shell
