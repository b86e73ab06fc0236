// What the interactive shell shows while the send queue runs: a wait box with a Cancel
// button, questions and messages in boxes, and the window where the user types the text of a
// CUSTOMTEXT line. From the command line there is none of this: the run prints console lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vm {

class QueueDialogs {
 public:
  virtual ~QueueDialogs() = default;
  // The wait box over the sections the run expects to post; one step per message written.
  virtual void BeginProgress(int64_t sections) = 0;
  virtual void StepProgress() = 0;
  virtual void EndProgress() = 0;
  // Whether Cancel was pressed since the last call.
  virtual bool CancelPressed() = 0;
  virtual bool AskYesNo(std::string_view question) = 0;
  virtual void ShowError(std::string_view message) = 0;
  // The user's text for the first section, lines separated by CR LF.
  virtual std::string UserText() = 0;
};

}  // namespace vm
