// Loading the state files at start-up, the day reset, and saving them at the normal end.
#pragma once

#include "config/area_table.h"
#include "config/settings.h"
#include "platform/console.h"
#include "platform/run_log.h"
#include "state/calendar_date.h"
#include "state/run_state.h"

namespace vm {

// Reads QUEUE.LST, VELDMARK.DUP and AREAS.LST from ProgramDir, in this order, into the state
// and the area table (which must be complete), and shares the MSGID serials machine-wide (or
// through VELDMARK.MID there). A missing file leaves its part of the state
// empty; a file with another header is deleted (a fresh QUEUE.LST is written at once); a
// damaged file is read as far as it can be and what was dropped goes to the log. Queue
// entries outside TEMPPATH are copied there (messages to the console). Never stops the
// start-up, except when a fresh QUEUE.LST cannot be written, or a file is not a regular file
// or too large to be ours (FatalExit).
void LoadStateFiles(RunState& state, AreaTable& areas, const Settings& settings,
                    const ProgramPaths& paths, Console& console, const RunLog& log,
                    CalendarDate today);

// The day reset after loading: areas without a daily limit (or with an unlimited remainder)
// get their full allowance; when the last run was on an earlier day, every area gets its
// full allowance and every queue entry's sent count starts at 0. The last-run date becomes
// today.
void StartPostingDay(RunState& state, AreaTable& areas, CalendarDate today);

// Writes QUEUE.LST, VELDMARK.DUP and AREAS.LST, in this order, each replacing the old file
// at once (a crash or a full disk leaves the previous file whole). History entries that have
// outlived their area's history length are dropped. A file that cannot be written stops the
// program (FatalExit) with "Не могу записать файл " and the file's name; the files written
// before it stay written.
void SaveStateFiles(const RunState& state, const AreaTable& areas, const ProgramPaths& paths,
                    CalendarDate today);

}  // namespace vm
