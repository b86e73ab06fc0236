// QUEUE.STM beside QUEUE.LST: the size and modification time each queued file had when it was
// queued, so that a file changed since is not posted mixed. QUEUE.LST keeps its layout; an
// entry is matched to its stamp by its path and area (entries of one path and area in queue
// order). It is written before QUEUE.LST, so that an entry saved there has its stamp already.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/run_log.h"
#include "state/queue_entry.h"

namespace vm {

inline constexpr std::string_view kQueueStampsHeader = "Veldmark queue stamps version 1";
inline constexpr const char* kQueueStampsFile = "queue.stm";

// The stamps read from the file, each handed out once.
class QueueStamps {
 public:
  // The lines after the header; records that do not read are skipped.
  explicit QueueStamps(const std::vector<std::string>& lines = {});
  // The first stamp not yet taken of that path and area.
  std::optional<QueuedFile> Take(std::string_view path, std::string_view areaId);

 private:
  struct Record {
    std::string path;
    std::string areaId;
    QueuedFile file;
    bool taken = false;
  };
  std::vector<Record> records_;
};

// The file's text: the header, then per stamped entry in queue order "size nanoseconds", its
// path and its area id.
std::string FormatQueueStamps(const SendQueue& queue);
// The stamps in the program directory; none when the file is missing (a queue saved before
// stamps were kept).
QueueStamps ReadQueueStamps(const std::string& programDir, const RunLog& log);
// Writes the file unless it holds that text already; false when it could not be written.
bool WriteQueueStamps(const std::string& programDir, const std::string& text);

}  // namespace vm
