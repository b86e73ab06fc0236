// QUEUE.POS: the progress of a queue too long for QUEUE.LST to be rewritten in place after
// every section (more than a page). While only the entries' progress changes, the progress
// goes here, in place, and QUEUE.LST is written whole only when more has changed. The record
// holds the sentToday, offset and fileSum of each entry whose progress differs from what
// QUEUE.LST holds, by its place in the queue, with the size and time of the very QUEUE.LST
// it continues; read after that file, it applies to it and to no other (a QUEUE.LST written
// whole since leaves it stale, and it is removed).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"
#include "state/queue_entry.h"

namespace vm {

inline constexpr const char* kQueueProgressFile = "queue.pos";

// An entry's progress.
struct EntryProgress {
  int32_t sentToday = 0;
  int32_t offset = 0;
  uint32_t fileSum = 0;
  bool operator==(const EntryProgress&) const = default;
};
std::vector<EntryProgress> ProgressOf(const SendQueue& queue);

// The record of the queue's progress beyond `written`, the progress that the QUEUE.LST whose
// state is `list` holds (the same entries).
std::string FormatQueueProgress(const SendQueue& queue, const std::vector<EntryProgress>& written,
                                const FileState& list);

// Applies a record's text to the queue just read from the QUEUE.LST whose state is `list`:
// false, and the queue untouched, when the record is for another file or is damaged.
bool ApplyQueueProgress(std::string_view record, const FileState& list, SendQueue& queue);

}  // namespace vm
