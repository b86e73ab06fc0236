// The send queue's own operations: adding a file with the encode dialog's values, the daily
// release of sections to the entries, and removing an entry.
#pragma once

#include <cstdint>
#include <string>

#include "config/area_table.h"
#include "state/add_queue_entry.h"
#include "state/queue_entry.h"

namespace vm {

// What the encode dialog (or the command line) asks for one file.
struct EnqueueRequest {
  std::string path;  // the file
  std::string areaId;
  std::string templatePath;
  std::string fromName;
  std::string toName;
  std::string fromAddress;  // text forms
  std::string toAddress;
  EncodeFlags flags = kEncodeUu;
  int32_t linesPerSection = 120;
  std::string postedName;  // empty: the file's name and extension, upper-cased
  std::string subject;     // empty: the same
  std::string sections;    // section numbers separated by blanks; empty: the whole file
  int32_t allowance = 0;   // sections per day: the typed number when overridden, else the area's
  // Whether a template without a SECTION line is reported (false for the further files of a
  // selection queued at once, so that it is said once).
  bool reportTemplate = true;
};

// Queues the file, or the sections listed (each as an entry of its own that posts that one
// section). An empty file is refused with a message: it has no section to post. So is a file to
// be deleted after sending when the template has no SECTION line: it would be deleted without
// having been posted; without deletion such a template is only warned about. Returns the
// number of entries added.
int EnqueueFile(SendQueue& queue, const EnqueueRequest& request, const QueueContext& context);

// Recomputes every entry's allowance for today from its area's remaining sections: in parallel
// mode the area's sections go round its entries one at a time (an entry that overrides the limit
// gets its shares on top of what it posted earlier today), in sequental mode all of them to its
// first entry (entries that override the limit keep theirs).
void ReleaseSections(SendQueue& queue, const AreaTable& areas);

// Unlinks the entry; returns the one after it.
SendQueue::iterator RemoveQueueEntry(SendQueue& queue, SendQueue::iterator entry);

}  // namespace vm
