// The send-queue run: each entry posts the sections today allows it, one message per section,
// into its area; a file whose last section went out leaves the queue. A file whose size or
// time differs from its entry's stamp, or that ends before the entry's offset, is not posted
// further: its entry stays (the file is never deleted) until the user queues it again.
#pragma once

#include <functional>

#include "config/area_table.h"
#include "config/settings.h"
#include "encode/queue_dialogs.h"
#include "platform/console.h"
#include "platform/run_log.h"
#include "state/calendar_date.h"
#include "state/run_state.h"

namespace vm {

struct QueueRun {
  RunState& state;   // the queue, the history, the default recipient
  AreaTable& areas;  // the daily allowances, netmail flags, tags
  const Settings& settings;
  const ProgramPaths& paths;
  Console& console;
  CalendarDate today;
  // Called before the first section (the queue may hold entries not saved yet), after every
  // section posted and every entry that left the queue, so that a run killed half-way posts
  // again at most the section it was writing.
  std::function<void()> saveProgress;
  // The shell's wait box, questions and user-text window; without them (the command line)
  // progress and problems are console lines.
  QueueDialogs* dialogs = nullptr;
  // Where the problems are logged as well (nullptr: nowhere).
  const RunLog* log = nullptr;
  // Set by the run: areas it could not reach, sections and files it could not post, including
  // files changed since they were queued.
  int failures = 0;
};

void ProcessQueue(QueueRun& run);

}  // namespace vm
