// Appending a file (or a single section of it) to the send queue.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "config/settings.h"
#include "platform/console.h"
#include "state/queue_entry.h"

namespace vm {

// What a producer of queue entries hands over; addresses as texts.
struct QueueEntryRequest {
  std::string path;
  std::string areaId;
  std::string fromName;
  std::string toName;
  std::string origText;
  std::string destText;
  int32_t offset = 0;
  uint32_t fileSum = 0;
  EncodeFlags flags = 0;
  int32_t allowance = 0;  // sections per day; an entry with kLimitOverride gets sentToday
  int32_t sentToday = 0;
  std::string templatePath;
  int32_t linesPerSection = 0;
  std::string postedName;
  std::string subject;
  // The file as the queue file's stamps remember it; nothing for a file queued now (or an entry
  // saved without a stamp), which is stamped as it is now.
  std::optional<QueuedFile> queuedAs;
};

// The size and modification time of the file now; nothing when it cannot be opened.
std::optional<QueuedFile> StampOfFile(std::string_view path);

struct QueueContext {
  const Settings& settings;  // TEMPPATH; ADDRESS supplies the parts an address text leaves out
  Console& console;
  // Asked in the shell when the copy into TEMPPATH fails: true repeats the copy, false drops
  // the new entry. Unset from the command line, where the failure is printed and the entry
  // posts from the original file.
  std::function<bool()> askRetryCopy;
};

// Appends the entry at the end of the queue; a file outside TEMPPATH (when that is set) is
// copied there first and queued as the copy. The entry keeps the file's stamp: the one the
// request brings (carried over to a copy made now when the original still matches it), else
// the file's as it is now. Returns the new entry, or nullptr when nothing
// was added (a path shorter than 4 characters, memory exhausted, a copy the user gave up).
QueueEntry* AddQueueEntry(SendQueue& queue, const QueueEntryRequest& request,
                          const QueueContext& context);

}  // namespace vm
