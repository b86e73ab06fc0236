// The run log: one line per event, the file opened and closed for every line so that other
// programs can read it meanwhile. Failures to write are ignored.
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
