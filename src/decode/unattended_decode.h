// Unattended decoding of one area (the /Decode mode, and each turn of /All): open the area,
// scan it, and for every complete file that the history does not know yet decode it, give it
// its final name under DUPES, list it in files.bbs with a description, write its .dsc file and
// hand it to the new-files report. One console line per area and per file, the same facts in
// the log. Every path is explicit: the current directory stays where it is, so that relative
// area ids and directories keep their meaning for the whole run.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "decode/decode_run_state.h"
#include "decode/found_file.h"
#include "decode/section_decoders.h"
#include "state/calendar_date.h"
#include "state/history.h"

namespace vm {

class AreaTable;
class Console;
class NewFilesReport;
class RunLog;
struct ProgramPaths;
struct Settings;

struct UnattendedOptions {
  bool decodeAnyway = false;  // -AnyWay: every found file, complete or not, whatever the history
  bool scanAll = false;       // -ScanAll: whole areas, not only the messages since the last run
};

// What the areas of one unattended run share.
struct UnattendedRun {
  UnattendedRun(const Settings& settings, AreaTable& areas, HistoryList& history, Console& console,
                const RunLog& log, NewFilesReport& report)
      : settings(settings),
        areas(areas),
        history(history),
        console(console),
        log(log),
        report(report) {}

  const Settings& settings;  // ROOT absolute
  AreaTable& areas;
  HistoryList& history;
  Console& console;
  const RunLog& log;
  NewFilesReport& report;
  UnattendedOptions options;
  std::string workDirectory;  // where archivers unpack file_id.diz
  std::string baseDirectory;  // relative route directories are taken from here
  // Where VELDMARK.DUP is, to add every decoded file to it at once; nullptr keeps the history
  // in memory only.
  const ProgramPaths* paths = nullptr;
  CalendarDate today;

  DecodeRunState state;
  FoundFileCatalogue catalogue;
  FileDecodeWork work;
  int32_t decodedFiles = 0;  // files kept in this run, errors or not
  int32_t failures = 0;      // areas not reached and files not written
  // Directories already cleared of the temporary files that killed runs left in them.
  std::set<std::string> clearedDirectories;
};

// DecodeAreaUnattended: the whole flow for the area at `areaIndex` of the table.
void DecodeAreaUnattended(UnattendedRun& run, int areaIndex);

}  // namespace vm
