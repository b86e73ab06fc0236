// The new-files report of an unattended decoding run: the run's files.bbs in ROOT (a header,
// then per area a comment line and per file its entry) and, when REPORTAREA is set, a report
// message posted into that area when the run ends. Both come into being with the first file
// the run keeps: a run that decodes nothing posts nothing and leaves files.bbs alone.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "decode/files_bbs.h"
#include "msgbase/message_base.h"
#include "state/msgid_serial.h"
#include "text/dos_time.h"

namespace vm {

class AreaTable;
class Console;
class RunLog;
struct Settings;

// The program's name in the report: sender, files.bbs header and PID.
inline constexpr std::string_view kProductLine = "Veldmark v1.61.40";

// A console line that replaces the progress line shown on a terminal (a log or pipe gets
// only the line).
void WriteWholeLine(Console& console, std::string_view text);

// The byte count in decimal; above 9999999 the count in kilobytes (rounded down) and "K".
std::string FormatSize(int64_t bytes);

// "=", the pairs of box characters C4 CD, one C4 and "=": 2 * pairs + 3 characters.
std::string BoxSeparator(int pairs);

// The report line of a file: name, [present/total] and size fields (33 characters) followed by
// the first description line; further description lines follow indented by 33 blanks.
std::vector<std::string> ReportFileLines(std::string_view name, int32_t present, int32_t total,
                                         int64_t size, const std::vector<std::string>& description);

class NewFilesReport {
 public:
  NewFilesReport(const Settings& settings, const AreaTable& areas, Console& console,
                 const RunLog& log, MsgIdSerialSource& serials)
      : settings_(settings), areas_(areas), console_(console), log_(log), serials_(serials) {}
  ~NewFilesReport();
  NewFilesReport(const NewFilesReport&) = delete;
  NewFilesReport& operator=(const NewFilesReport&) = delete;

  // BeginReport: the time the report and the header of files.bbs will name.
  void Begin(const DateTime& now) { now_ = now; }
  // ReportAreaHeader: before the first decoded file of an area with `found` found files. The
  // console line comes at once; the area's lines in the report and in files.bbs with its first
  // kept file.
  void AreaHeader(std::string_view areaName, std::string_view scanLine, int found);
  // A file decoded without error: its entry in the run's files.bbs and its report lines.
  void ListFile(std::string_view name, const std::vector<std::string>& description);
  void ReportFile(std::string_view name, int32_t present, int32_t total, int64_t size,
                  const std::vector<std::string>& description);
  // A file the run keeps (errors or not): the report totals grow.
  void CountFile(int64_t size);
  // The empty line and separator that close an area's block in the report.
  void AreaEnd();
  // EndReport: totals, tear and origin lines, the message written; files.bbs closed.
  void End();

  // The report area could not be opened or the report not written.
  bool Failed() const { return failed_; }
  int64_t TotalSize() const { return totalSize_; }
  int32_t FileCount() const { return fileCount_; }

 private:
  // The first kept file of the run starts the message (when REPORTAREA names an area that can
  // be opened or created) and ROOT's files.bbs (by FILESBBS, with its header lines); the first
  // of an area writes the area's header lines.
  void ShowFile();
  void StartMessage();
  void Put(std::string_view line);

  const Settings& settings_;
  const AreaTable& areas_;
  Console& console_;
  const RunLog& log_;
  MessageBaseHandle base_;
  FilesBbs rootList_;
  MsgIdSerialSource& serials_;
  DateTime now_{};
  bool started_ = false;
  std::string areaHeader_;  // the area's comment text until its first kept file
  bool areaShown_ = false;
  bool failed_ = false;
  int64_t totalSize_ = 0;
  int32_t fileCount_ = 0;
};

}  // namespace vm
