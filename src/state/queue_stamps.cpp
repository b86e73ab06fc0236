#include "state/queue_stamps.h"

#include "platform/file.h"
#include "state/state_text.h"
#include "text/cp866.h"

namespace vm {
namespace {

constexpr const char* kLabel = "QUEUE.STM";
// Three lines a queued file, like QUEUE.LST's fourteen.
constexpr StateFileKind kFileKind{kLabel, kQueueStampsHeader, size_t{32} << 20};
constexpr size_t kLinesPerRecord = 3;

}  // namespace

QueueStamps::QueueStamps(const std::vector<std::string>& lines) {
  for (size_t at = 0; at + kLinesPerRecord <= lines.size(); at += kLinesPerRecord) {
    const auto numbers = ParseNumberLine(lines[at], 2, 0, INT64_MAX);
    if (!numbers) continue;
    records_.push_back(Record{lines[at + 1], lines[at + 2], {(*numbers)[0], (*numbers)[1]}});
  }
}

std::optional<QueuedFile> QueueStamps::Take(std::string_view path, std::string_view areaId) {
  for (Record& record : records_)
    if (!record.taken && EqualNoCaseCp866(record.path, path) &&
        EqualNoCaseCp866(record.areaId, areaId)) {
      record.taken = true;
      return record.file;
    }
  return std::nullopt;
}

std::string FormatQueueStamps(const SendQueue& queue) {
  std::string out;
  AppendStateLine(out, kQueueStampsHeader);
  for (const QueueEntry& entry : queue) {
    if (!entry.queuedAs) continue;
    AppendStateLine(out, std::to_string(entry.queuedAs->size) + " " +
                             std::to_string(entry.queuedAs->modifiedNs));
    AppendStateLine(out, entry.path);
    AppendStateLine(out, entry.areaId);
  }
  return out;
}

QueueStamps ReadQueueStamps(const std::string& programDir, const RunLog& log) {
  StateFileText text = ReadStateFile(programDir + kQueueStampsFile, kFileKind, log);
  if (text.status != StateFileText::Status::Read) return QueueStamps();
  return QueueStamps(text.lines);
}

bool WriteQueueStamps(const std::string& programDir, const std::string& text) {
  const std::string path = programDir + kQueueStampsFile;
  std::string old;
  int error = 0;
  if (ReadWholeFile(path, text.size() + 1, old, error) && old == text) return true;
  return WriteFileAtomically(path, text);
}

}  // namespace vm
