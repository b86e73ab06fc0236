#include "state/queue_progress_record.h"

#include <iterator>
#include <utility>

#include "state/state_text.h"

namespace vm {
namespace {

constexpr std::string_view kHeader = "Veldmark queue progress version 1";

}  // namespace

std::vector<EntryProgress> ProgressOf(const SendQueue& queue) {
  std::vector<EntryProgress> progress;
  for (const QueueEntry& e : queue) progress.push_back({e.sentToday, e.offset, e.fileSum});
  return progress;
}

std::string FormatQueueProgress(const SendQueue& queue, const std::vector<EntryProgress>& written,
                                const FileState& list) {
  std::string out;
  AppendStateLine(out, kHeader);
  AppendStateLine(out, std::to_string(list.size) + " " + std::to_string(list.modifiedNs));
  size_t place = 0;
  for (const EntryProgress& now : ProgressOf(queue)) {
    ++place;
    if (place <= written.size() && written[place - 1] == now) continue;
    AppendStateLine(out, std::to_string(place) + " " + std::to_string(now.sentToday) + " " +
                             std::to_string(now.offset) + " " + std::to_string(now.fileSum));
  }
  return out;
}

bool ApplyQueueProgress(std::string_view record, const FileState& list, SendQueue& queue) {
  const std::vector<std::string> lines = SplitStateLines(record);
  if (lines.size() < 2 || lines[0] != kHeader) return false;
  const auto identity = ParseNumberLine(lines[1], 2, 0, INT64_MAX);
  if (!identity || (*identity)[0] != list.size || (*identity)[1] != list.modifiedNs) return false;
  // Every line is read before any is applied: a damaged record changes nothing.
  std::vector<std::pair<size_t, EntryProgress>> changes;
  for (size_t i = 2; i < lines.size() && !OnlyBlankLinesFrom(lines, i); ++i) {
    const auto n = ParseNumberLine(lines[i], 4, kInt32Min, kUint32Max);
    if (!n || (*n)[0] < 1 || (*n)[0] > static_cast<int64_t>(queue.size()) || (*n)[1] > kInt32Max ||
        (*n)[2] < 0 || (*n)[2] > kInt32Max || (*n)[3] < 0)
      return false;
    changes.emplace_back(static_cast<size_t>((*n)[0] - 1),
                         EntryProgress{static_cast<int32_t>((*n)[1]), static_cast<int32_t>((*n)[2]),
                                       static_cast<uint32_t>((*n)[3])});
  }
  for (const auto& [place, progress] : changes) {
    QueueEntry& e = *std::next(queue.begin(), static_cast<std::ptrdiff_t>(place));
    e.sentToday = progress.sentToday;
    e.offset = progress.offset;
    e.fileSum = progress.fileSum;
  }
  return true;
}

}  // namespace vm
