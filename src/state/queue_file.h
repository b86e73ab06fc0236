// QUEUE.LST: the send queue, the encode dialog's last values, the dialogs' input histories
// and the date of the last run.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"
#include "platform/file.h"
#include "platform/run_log.h"
#include "state/add_queue_entry.h"
#include "state/one_page_file.h"
#include "state/queue_progress_record.h"
#include "state/queue_stamps.h"
#include "state/run_state.h"
#include "state/state_text.h"

namespace vm {

inline constexpr std::string_view kQueueHeader = "Veldmark queue file version 8";

// Reads the lines after the header into the state: the date, the defaults (the limit-override
// and no-template bits of the default flags do not carry over), the two input histories and
// the entries, each added with AddQueueEntry. Unreadable lines are skipped and noted; a
// damaged date or flags line leaves that value as it was.
// Each entry gets its stamp from `stamps` when it has one there.
void ParseQueue(const std::vector<std::string>& lines, RunState& state, const QueueContext& context,
                DroppedLines& dropped, QueueStamps* stamps = nullptr);
// The whole text, or its outline: the same without the entries' progress (sentToday, offset
// and fileSum), which tells whether anything else changed.
enum class QueueText { Whole, Outline };
std::string FormatQueue(const RunState& state, QueueText what = QueueText::Whole);

// A missing file, or one of another version (deleted), is replaced at once by a fresh one
// written from the state as it stands. The entries' stamps come from QUEUE.STM.
void ReadQueueFile(const ProgramPaths& paths, RunState& state, const QueueContext& context,
                   const RunLog& log);
// Writes QUEUE.STM, then QUEUE.LST (and removes QUEUE.POS, which no longer applies).
// FatalExit "Не могу записать файл QUEUE.LST" (or QUEUE.STM) when a file cannot be written.
void WriteQueueFile(const ProgramPaths& paths, const RunState& state);
// The queue's progress while files are being posted, saved after every section so that a run
// killed at any moment leaves the old file or the new one whole. Where that is safe the file
// is rewritten in place (OnePageFile), not flushed to the disk, which would cost more than
// posting a section (the messages just written are not flushed either). A queue longer than a
// page is replaced through a temporary file, flushed before the rename so that a power cut
// leaves the old queue or the new one; but only when more than the entries' progress has
// changed since: the progress alone goes to QUEUE.POS, in place. The normal end writes the
// file again.
class QueueProgressFile {
 public:
  explicit QueueProgressFile(const ProgramPaths& paths);
  // False when the file could not be written.
  bool Save(const RunState& state);

 private:
  bool Replace(const std::string& text);

  std::string programDir_;
  std::string stamps_;  // QUEUE.STM's text as last written
  OnePageFile list_;    // QUEUE.LST, kept open between in-place saves
  OnePageFile record_;  // QUEUE.POS
  // QUEUE.LST as last replaced, which QUEUE.POS continues: its outline, its entries' progress
  // and its size and time.
  std::string outline_;
  std::vector<EntryProgress> written_;
  FileState listState_;
};

}  // namespace vm
