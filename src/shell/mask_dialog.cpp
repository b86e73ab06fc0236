#include "shell/mask_dialog.h"

#include <memory>

#include "text/cp866.h"
#include "tui/application.h"
#include "tui/button.h"
#include "tui/dialog.h"
#include "tui/input_line.h"
#include "tui/label.h"

namespace vm::shell {

std::optional<std::string> AskMask(tui::Application& app, std::string_view title,
                                   std::string_view initial, int helpContext) {
  tui::Dialog dialog(34, 8, std::string(title));
  dialog.helpContext = helpContext;
  auto& input = dialog.Add(std::make_unique<tui::InputLine>(10, 2, 20, 12));
  input.SetText(std::string(initial));
  dialog.Add(std::make_unique<tui::Label>(3, 2, Cp866("~М~аска"), &input));
  dialog.Add(std::make_unique<tui::Button>(5, 5, 11, Cp866("O~k~"), tui::cmd::kOk));
  dialog.Add(std::make_unique<tui::Button>(18, 5, 11, Cp866("~О~тмена"), tui::cmd::kCancel));
  dialog.SetDefaultCommand(tui::cmd::kOk);
  if (app.Execute(dialog) != tui::cmd::kOk) return std::nullopt;
  return input.Text();
}

}  // namespace vm::shell
