// The shell's encode command once the main window has checked the current file: the checks of
// a selection, the encode dialog, the packer, and the files into the send queue.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/encode_choices.h"
#include "shell/encode_dialog.h"
#include "shell/prompts.h"
#include "shell/shell_context.h"

namespace vm {
struct AreaEntry;
}
namespace vm::tui {
class Application;
}

namespace vm::shell {

// A file of the panel directory as the command posts it.
struct FileToPost {
  std::string name;  // as it stands on the disk in that directory
  int64_t size = 0;
};

class EncodeCommand {
 public:
  EncodeCommand(tui::Application& app, const ShellContext& context, Prompts& prompts);

  // Posts the files (several: a selection) of the directory (absolute) into the area (nullptr:
  // none is configured); the packer runs there. True when something went into the queue,
  // which the caller then runs.
  bool Run(const std::vector<FileToPost>& files, bool selection, const AreaEntry* area,
           const std::string& directory);

  // The checks of the current file when nothing is selected: too small to be worth posting, or
  // large enough to ask first.
  bool FileWorthPosting(int64_t size);

  // The values the dialog starts with for this posting.
  EncodeChoices InitialChoices(const EncodeSetup& setup) const;

 private:
  bool SelectionWorthPosting(const std::vector<FileToPost>& files);
  // Runs the packer in the directory over its files with the screen handed to it; false when
  // no archive came.
  bool Pack(const std::string& archive, const std::vector<FileToPost>& files,
            const std::string& directory);
  void NoteDailyLimit(const std::vector<FileToPost>& files, const AreaEntry& area,
                      EncodeFlags flags, int32_t linesPerSection);

  tui::Application& app_;
  ShellContext ctx_;
  Prompts& prompts_;
  // What this run keeps between postings: the lines per section last given, the send mode
  // and the typed daily limit.
  std::string linesPerSection_;
  int sendMode_ = kModeAsUsual;
  std::string sectionsPerDay_;
};

}  // namespace vm::shell
