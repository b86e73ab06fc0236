// A files.bbs list: one entry per file, the name field then the description, continuation
// lines in the standard layout (indented by 14 blanks) or the AllFix one (starting with ">").
// Lines end in CR LF; FILESBBS OFF sends everything to the null device.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"
#include "platform/file.h"

namespace vm {

class FilesBbs {
 public:
  // Opens `directory`\files.bbs by the mode: OFF the null device, APPEND at its end (created
  // when missing), REWRITE empty. False when it cannot be opened; writes then do nothing.
  bool Open(std::string_view directory, FilesBbsMode mode);
  void Close() { file_.Close(); }
  bool IsOpen() const { return file_.IsOpen(); }

  void WriteLine(std::string_view text);
  // The file's entry: its name and the first description line, then the further lines.
  void WriteEntry(std::string_view name, const std::vector<std::string>& description, bool allFix);

 private:
  File file_;
};

// The entry's lines as FilesBbs writes them (without line ends).
std::vector<std::string> FilesBbsEntry(std::string_view name,
                                       const std::vector<std::string>& description, bool allFix);

}  // namespace vm
