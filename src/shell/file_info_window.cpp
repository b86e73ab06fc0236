#include "shell/file_info_window.h"

#include <memory>

#include "shell/help_contexts.h"
#include "text/cp866.h"
#include "tui/application.h"
#include "tui/button.h"
#include "tui/dialog.h"
#include "tui/static_text.h"

namespace vm::shell {
namespace {

constexpr int kWidth = 52;
constexpr int kHeight = 13;
constexpr int kTextColumn = 2;
constexpr int kTextWidth = 48;  // up to column 50
constexpr int kFirstRow = 3;

}  // namespace

void ShowFileInfo(tui::Application& app, const FileInfoText& info) {
  tui::Dialog dialog(kWidth, kHeight, info.title);
  dialog.helpContext = hc::kInformation;
  std::vector<std::string> rows(info.lines.begin(), info.lines.end() - 1);
  // The last line (the missing sections) may run on into a second row.
  for (std::string& part : tui::WrapText(info.lines.back(), kTextWidth))
    rows.push_back(std::move(part));
  if (rows.size() > 7) rows.resize(7);
  dialog.Add(std::make_unique<tui::StaticText>(
      tui::Rect{kTextColumn, kFirstRow, kTextWidth, static_cast<int>(rows.size())},
      std::move(rows)));
  dialog.Add(std::make_unique<tui::Button>(10, 10, 12, Cp866("O~k~"), tui::cmd::kOk));
  dialog.SetDefaultCommand(tui::cmd::kOk);
  app.Execute(dialog);
}

}  // namespace vm::shell
