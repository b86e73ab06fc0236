#include "state/queue_progress_record.h"

#include <optional>
#include <vector>

#include "state/state_text.h"

namespace vm {
namespace {

constexpr std::string_view kHeader = "Veldmark queue progress version 1";

struct Progress {
  int32_t sentToday = 0;
  int32_t offset = 0;
  uint32_t fileSum = 0;
};

}  // namespace

std::string FormatQueueProgress(const SendQueue& queue, const FileState& list) {
  std::string out;
  AppendStateLine(out, kHeader);
  AppendStateLine(out, std::to_string(list.size) + " " + std::to_string(list.modifiedNs));
  for (const QueueEntry& e : queue)
    AppendStateLine(out, std::to_string(e.sentToday) + " " + std::to_string(e.offset) + " " +
                             std::to_string(e.fileSum));
  return out;
}

bool ApplyQueueProgress(std::string_view record, const FileState& list, SendQueue& queue) {
  const std::vector<std::string> lines = SplitStateLines(record);
  if (lines.size() < 2 || lines[0] != kHeader) return false;
  const auto identity = ParseNumberLine(lines[1], 2, 0, INT64_MAX);
  if (!identity || (*identity)[0] != list.size || (*identity)[1] != list.modifiedNs) return false;
  // One line per entry, then nothing but the blanks of a longer record written before.
  if (lines.size() < 2 + queue.size() || !OnlyBlankLinesFrom(lines, 2 + queue.size())) return false;
  std::vector<Progress> progress;
  for (size_t i = 2; i < 2 + queue.size(); ++i) {
    const auto numbers = ParseNumberLine(lines[i], 3, kInt32Min, kUint32Max);
    if (!numbers || (*numbers)[0] > kInt32Max || (*numbers)[1] < 0 || (*numbers)[1] > kInt32Max ||
        (*numbers)[2] < 0)
      return false;
    progress.push_back({static_cast<int32_t>((*numbers)[0]), static_cast<int32_t>((*numbers)[1]),
                        static_cast<uint32_t>((*numbers)[2])});
  }
  auto next = progress.begin();
  for (QueueEntry& e : queue) {
    e.sentToday = next->sentToday;
    e.offset = next->offset;
    e.fileSum = next->fileSum;
    ++next;
  }
  return true;
}

}  // namespace vm
