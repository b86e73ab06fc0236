// The encode dialog and its advanced dialog: where a posting goes, from whom, how it is
// encoded and sent. They only fill the choices; the encode command queues the files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/encode_choices.h"
#include "shell/prompts.h"

namespace vm {
struct AreaEntry;
struct Settings;
}  // namespace vm
namespace vm::tui {
class Application;
}

namespace vm::shell {

// The input-line histories of the dialogs' fields.
namespace history {
inline constexpr int kNames = 1;
inline constexpr int kAddresses = 2;
inline constexpr int kPostedName = 4;
inline constexpr int kSubject = 5;
inline constexpr int kSections = 6;
inline constexpr int kNumbers = 7;
}  // namespace history

// What is posted, and where.
struct EncodeSetup {
  const AreaEntry* area = nullptr;  // nullptr: no area is configured
  bool netmail = false;
  std::vector<std::string> fileNames;  // the current file, or every selected one
  int64_t firstFileSize = 0;           // of the one file posted (the sections list's check)
};

struct EncodeDialogResult {
  bool ok = false;
  std::string archiveName;  // the compression dialog's answer when compress was ticked
};

// Runs the encode dialog over the choices; on OK they hold what was typed. The advanced
// dialog opens from it and writes its fields into the choices when it ends with OK.
EncodeDialogResult RunEncodeDialog(tui::Application& app, const Settings& settings,
                                   const EncodeSetup& setup, EncodeChoices& choices,
                                   Prompts& prompts);

}  // namespace vm::shell
