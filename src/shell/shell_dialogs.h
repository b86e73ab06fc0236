// The decoder's questions and progress in the shell: message boxes and the progress window.
// A progress begun while another is shown (the scan inside a command's own progress) adds to
// the one shown.
#pragma once

#include <memory>

#include "decode/decode_dialogs.h"
#include "tui/progress_window.h"

namespace vm::tui {
class Application;
}

namespace vm::shell {

class ShellDialogs : public DecodeDialogs {
 public:
  explicit ShellDialogs(tui::Application& app) : app_(app) {}

  bool AskYesNo(std::string_view question) override;
  void ShowError(std::string_view message) override;
  void BeginProgress(std::string_view title, int32_t steps) override;
  void StepProgress() override;
  void EndProgress() override;
  bool AbortKeyPressed() override;

  // The progress window shown, nullptr when none is.
  tui::ProgressWindow* Progress() { return progress_.get(); }

 private:
  tui::Application& app_;
  std::unique_ptr<tui::ProgressWindow> progress_;
  int depth_ = 0;
};

}  // namespace vm::shell
