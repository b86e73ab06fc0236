// Reading and writing the line-oriented text of the state files: CR LF lines in CP866, a
// version header first, numbers in decimal. Damaged parts are skipped, not trusted, and the
// skipped lines are reported to the run log.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/run_log.h"

namespace vm {

// The lines of a text; CR LF and lone LF both end a line, and a final line end does not
// start another (empty) line.
std::vector<std::string> SplitStateLines(std::string_view contents);

// True when the line holds nothing but codes 0 to 32.
bool IsBlankLine(std::string_view line);
// True when the lines from `from` on are all blank.
bool OnlyBlankLinesFrom(const std::vector<std::string>& lines, size_t from);

// Exactly `count` decimal numbers separated by blanks, each within [min, max]; nothing when
// the line holds anything else.
std::optional<std::vector<int64_t>> ParseNumberLine(std::string_view line, size_t count,
                                                    int64_t min, int64_t max);

inline constexpr int64_t kInt32Min = INT32_MIN;
inline constexpr int64_t kInt32Max = INT32_MAX;
inline constexpr int64_t kUint32Max = UINT32_MAX;

// Appends the text and CR LF. A CR or LF inside the text would split the record when it is
// read back, so each becomes a blank.
void AppendStateLine(std::string& out, std::string_view text);

// Collects the numbers of skipped lines and reports them as ranges, once, to the run log.
class DroppedLines {
 public:
  explicit DroppedLines(std::string fileLabel) : label_(std::move(fileLabel)) {}
  // A line number of the file (the header is line 1).
  void Drop(size_t lineNumber);
  void DropRange(size_t firstLine, size_t lastLine);
  void WriteTo(const RunLog& log) const;

 private:
  std::string label_;
  std::vector<std::pair<size_t, size_t>> ranges_;
};

// The lines after the header of a state file as found on disk.
struct StateFileText {
  enum class Status { Missing, WrongHeader, Read } status = Status::Missing;
  std::vector<std::string> lines;  // lines[i] is line i + 2 of the file
};

// What a state file is to the reader: the name it is shown by, the version header its first
// line must be, and the largest size read.
struct StateFileKind {
  std::string_view label;  // "AREAS.LST"
  std::string_view header;
  size_t maxSize;
};

// Reads the file. A file whose first line is not exactly the header is deleted (and the
// deletion logged). A file that is not a regular file, or larger than the kind allows, stops
// the run (FatalExit "Файл " + label + the reason): it is no state file of ours, and
// overwriting it at the end of the run would lose whatever it is.
StateFileText ReadStateFile(std::string_view path, const StateFileKind& kind, const RunLog& log);

// Replaces the file at once with the contents (temporary file, flush, rename). When that
// cannot be done: FatalExit "Не могу записать файл " + fileLabel.
void WriteStateFile(std::string_view path, std::string_view contents, std::string_view fileLabel);

}  // namespace vm
