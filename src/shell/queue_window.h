// The send-queue window ("Очередь файлов"): the queued files in posting order, the focused
// entry's area, encoding, names, addresses, daily allowance and progress; "Послать немедленно"
// toggles the entry's send-immediately bit, "Удалить" takes it out of the queue at once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/queue_entry.h"

namespace vm {
class AreaTable;
}
namespace vm::tui {
class Application;
}

namespace vm::shell {

// The list line of an entry: its posted name padded to 16 columns, "√" when it is sent at once.
std::string QueueListLine(const QueueEntry& entry);
// "[", 25 cells of ■ for the share done and · for the rest, "]", the percentage in the middle.
std::string QueueBarText(int64_t done, int64_t size);
// The lines beside the list for the entry; fileSize is the queued file's size (0 when gone).
std::vector<std::string> QueueDetailLines(const QueueEntry& entry, const AreaTable& areas,
                                          int64_t fileSize);

// Releases today's sections, then shows the window until OK or Esc. The caller runs the queue.
void RunQueueWindow(tui::Application& app, SendQueue& queue, const AreaTable& areas);

}  // namespace vm::shell
