// VELDMARK.DUP: the history of decoded files, three lines per entry after the version header.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/area_table.h"
#include "config/settings.h"
#include "platform/run_log.h"
#include "state/calendar_date.h"
#include "state/history.h"
#include "state/state_text.h"

namespace vm {

inline constexpr std::string_view kDuplicatesHeader = "Veldmark duplicates file version 3";

// Adds the entries of the lines after the header to the history. An entry older than the
// history length stored with it is dropped; unreadable lines are skipped and noted.
void ParseDuplicates(const std::vector<std::string>& lines, HistoryList& history,
                     CalendarDate today, DroppedLines& dropped);
// The whole file. Entries of areas that no longer exist, and entries older than their area's
// current history length (65535: for ever), are left out.
std::string FormatDuplicates(const HistoryList& history, const AreaTable& areas,
                             CalendarDate today);

void LoadDuplicatesFile(const ProgramPaths& paths, HistoryList& history, CalendarDate today,
                        const RunLog& log);
// Adds one entry at the end of the file as it stands (with the header when the file is new),
// so that the history survives a run that does not reach its normal end; the whole file is
// written again at the normal end. With `flush` the entry is on the disk when this returns.
// False when it could not be written.
bool AppendToDuplicatesFile(const ProgramPaths& paths, const HistoryEntry& entry,
                            uint32_t historyLength, bool flush);
// FatalExit "Не могу записать файл VELDMARK.DUP" when the file cannot be written.
void SaveDuplicatesFile(const ProgramPaths& paths, const HistoryList& history,
                        const AreaTable& areas, CalendarDate today);

}  // namespace vm
