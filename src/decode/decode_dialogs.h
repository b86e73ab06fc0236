// The questions, message boxes and progress display of decoding in the windowed shell. The
// shell implements this; unattended runs have none and print console lines instead.
#pragma once

#include <cstdint>
#include <string_view>

namespace vm {

class DecodeDialogs {
 public:
  virtual ~DecodeDialogs() = default;
  // A Yes/No question (CP866); true for Yes.
  virtual bool AskYesNo(std::string_view question) = 0;
  // An error message box (CP866).
  virtual void ShowError(std::string_view message) = 0;
  // A progress window over a number of steps.
  virtual void BeginProgress(std::string_view title, int32_t steps) = 0;
  virtual void StepProgress() = 0;
  virtual void EndProgress() = 0;
  // Whether Space or Esc was pressed since the last call; never blocks.
  virtual bool AbortKeyPressed() = 0;
};

}  // namespace vm
