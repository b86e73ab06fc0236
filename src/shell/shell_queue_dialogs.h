// The send-queue run in the shell: the wait box "Кодирую файлы" with its Cancel button, the
// questions and problems in message boxes, and the user-text window for CUSTOMTEXT.
#pragma once

#include <memory>

#include "encode/queue_dialogs.h"
#include "tui/progress_window.h"

namespace vm::tui {
class Application;
}

namespace vm::shell {

// The user's text is at most this long, line breaks included.
inline constexpr size_t kUserTextLimit = 10000;

// Runs the user-text window ("Пользовательский текст") and returns what was typed.
std::string AskUserText(tui::Application& app);

class ShellQueueDialogs : public QueueDialogs {
 public:
  explicit ShellQueueDialogs(tui::Application& app) : app_(app) {}

  void BeginProgress(int64_t sections) override;
  void StepProgress() override;
  void EndProgress() override { progress_.reset(); }
  bool CancelPressed() override { return progress_ && progress_->AbortRequested(); }
  bool AskYesNo(std::string_view question) override;
  void ShowError(std::string_view message) override;
  std::string UserText() override { return AskUserText(app_); }

 private:
  tui::Application& app_;
  std::unique_ptr<tui::ProgressWindow> progress_;
};

}  // namespace vm::shell
