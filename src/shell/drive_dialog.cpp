#include "shell/drive_dialog.h"

#include <algorithm>
#include <memory>

#include "platform/file_system.h"
#include "platform/host.h"
#include "platform/host_path.h"
#include "shell/help_contexts.h"
#include "text/cp866.h"
#include "tui/application.h"
#include "tui/button.h"
#include "tui/dialog.h"

namespace vm::shell {
namespace {

constexpr int kButtonStep = 5;
constexpr int kFirstCommand = 1000;

}  // namespace

std::vector<std::string> AvailableDrives() {
  std::vector<std::string> drives;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string variable = std::string("VELDMARK_DRIVE_") + letter;
    const std::string dir = GetEnvironment(variable.c_str());
    if (!dir.empty() && DirectoryExists(ProgramPathFromHost(dir)))
      drives.push_back(std::string(1, letter) + ":\\");
  }
  if (drives.empty()) drives.push_back("C:\\");
  drives.push_back("/");
  return drives;
}

std::optional<std::string> ChooseDrive(tui::Application& app,
                                       const std::vector<std::string>& drives,
                                       const std::string& current) {
  const int count = static_cast<int>(drives.size());
  tui::Dialog dialog(std::max(30, count * kButtonStep + 6), 6, Cp866("Смена диска"));
  dialog.helpContext = hc::kChangeDrive;
  const tui::Control* focus = nullptr;
  for (int i = 0; i < count; ++i) {
    const std::string& root = drives[static_cast<size_t>(i)];
    const std::string text =
        root == "/" ? std::string("~/~") : std::string("~").append(root, 0, 1).append("~:");
    auto& button = dialog.Add(std::make_unique<tui::Button>(3 + i * kButtonStep, 2, kButtonStep,
                                                            text, kFirstCommand + i));
    if (root == current) focus = &button;
  }
  if (focus != nullptr) dialog.Focus(*focus);
  const int chosen = app.Execute(dialog) - kFirstCommand;
  if (chosen < 0 || chosen >= count) return std::nullopt;
  return drives[static_cast<size_t>(chosen)];
}

}  // namespace vm::shell
