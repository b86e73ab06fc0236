#include "shell/compression_dialog.h"

#include <memory>

#include "config/settings.h"
#include "shell/help_contexts.h"
#include "text/cp866.h"
#include "tui/application.h"
#include "tui/button.h"
#include "tui/dialog.h"
#include "tui/input_line.h"
#include "tui/label.h"

namespace vm::shell {

using namespace tui;

namespace {

constexpr size_t kNameLength = 12;

}  // namespace

bool ValidArchiveName(std::string_view name) {
  if (name.empty() || name.front() == '-' || name.find_first_of("\\/:") != std::string_view::npos)
    return false;
  const size_t dot = name.rfind('.');
  return dot != std::string_view::npos && dot > 0 && dot + 1 < name.size();
}

std::string RunCompressionDialog(Application& app, const Settings& settings, Prompts& prompts) {
  if (settings.PACKER.empty()) {
    prompts.Error(Cp866("Сжатие не возможно - архиватор не задан"));
    return {};
  }
  Dialog dialog(40, 8, Cp866("Сжатие перед посылкой"));
  dialog.helpContext = hc::kCompressionDialog;
  auto& name = dialog.Add(
      std::make_unique<InputLine>(23, 2, 14, kNameLength, &app.Histories(), kArchiveHistory));
  dialog.Add(std::make_unique<Label>(3, 2, Cp866("Введите имя архива:"), &name));
  dialog.Add(std::make_unique<Button>(7, 5, 12, Cp866("O~k~"), cmd::kOk));
  dialog.Add(std::make_unique<Button>(21, 5, 12, Cp866("~О~тмена"), cmd::kCancel));
  dialog.SetDefaultCommand(cmd::kOk);
  dialog.SetBeforeClose([&](int command) {
    if (command != cmd::kOk || ValidArchiveName(name.Text())) return true;
    prompts.Error(Cp866("Неправильное имя архива!"));
    return false;
  });
  if (app.Execute(dialog) != cmd::kOk) return {};
  return name.Text();
}

}  // namespace vm::shell
