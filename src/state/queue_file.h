// QUEUE.LST: the send queue, the encode dialog's last values, the dialogs' input histories
// and the date of the last run.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"
#include "platform/run_log.h"
#include "state/add_queue_entry.h"
#include "state/run_state.h"
#include "state/state_text.h"

namespace vm {

inline constexpr std::string_view kQueueHeader = "Veldmark queue file version 8";

// Reads the lines after the header into the state: the date, the defaults (the limit-override
// and no-template bits of the default flags do not carry over), the two input histories and
// the entries, each added with AddQueueEntry. Unreadable lines are skipped and noted; a
// damaged date or flags line leaves that value as it was.
void ParseQueue(const std::vector<std::string>& lines, RunState& state,
                const QueueContext& context, DroppedLines& dropped);
std::string FormatQueue(const RunState& state);

// A missing file, or one of another version (deleted), is replaced at once by a fresh one
// written from the state as it stands.
void ReadQueueFile(const ProgramPaths& paths, RunState& state, const QueueContext& context,
                   const RunLog& log);
// FatalExit "Не могу записать файл QUEUE.LST" when the file cannot be written.
void WriteQueueFile(const ProgramPaths& paths, const RunState& state);
// The queue's progress while files are being posted: the file is replaced as a whole (a run
// killed at any moment leaves the old file or the new one), but not flushed to the disk, which
// would cost more than posting a section (the messages just written are not flushed either).
// False when it could not be written; the normal end writes it again.
bool SaveQueueProgress(const ProgramPaths& paths, const RunState& state);

}  // namespace vm
