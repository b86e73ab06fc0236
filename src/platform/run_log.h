// The run log: a CP866 text file like the program's other files, one line per event ending in
// CR LF, the file opened for appending and closed for every line so that other programs can
// read it meanwhile. Failures to write are ignored: the caller never learns of them.
#pragma once

#include <string>
#include <string_view>

namespace vm {

class RunLog {
 public:
  void SetPath(std::string programPath) { path_ = std::move(programPath); }
  const std::string& Path() const { return path_; }
  bool Enabled() const { return !path_.empty(); }
  void Disable() { path_.clear(); }

  // "DD/MM HH:MM:SS text"; an empty text writes an empty line.
  void WriteLog(std::string_view text) const;
  // An empty line.
  void WriteLogBreak() const;

 private:
  void Append(std::string_view line) const;
  std::string path_;
};

}  // namespace vm
