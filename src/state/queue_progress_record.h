// QUEUE.POS: the progress of a queue too long for QUEUE.LST to be rewritten in place after
// every section (more than a page). While only the entries' progress changes, the progress
// alone goes here, in place, and QUEUE.LST is written whole only when more has changed. The
// record holds each entry's sentToday, offset and fileSum, in queue order, with the size and
// time of the very QUEUE.LST it continues; read after that file, it applies to it and to no
// other (a QUEUE.LST written whole since leaves it stale, and it is removed).
#pragma once

#include <string>
#include <string_view>

#include "platform/file.h"
#include "state/queue_entry.h"

namespace vm {

inline constexpr const char* kQueueProgressFile = "queue.pos";

// The record of the queue's progress, continuing the QUEUE.LST whose state is `list`.
std::string FormatQueueProgress(const SendQueue& queue, const FileState& list);

// Applies a record's text to the queue just read from the QUEUE.LST whose state is `list`:
// false, and the queue untouched, when the record is for another file or is damaged.
bool ApplyQueueProgress(std::string_view record, const FileState& list, SendQueue& queue);

}  // namespace vm
