#include "encode/send_queue.h"

#include "encode/posted_name.h"
#include "encode/section_layout.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr int64_t kUnlimitedAllowance = kUnlimited;

bool BelongsTo(const QueueEntry& entry, std::string_view areaKey) {
  return EqualNoCaseCp866(entry.areaId, areaKey);
}

bool Overrides(const QueueEntry& entry) { return (entry.flags & kLimitOverride) != 0; }

void ReleaseParallel(SendQueue& queue, std::string_view areaKey, int64_t left) {
  int64_t counter = left >= kUnlimitedAllowance ? kUnlimitedAllowance : 0;
  // A negative remainder (sections sent at once beyond the limit) changes nothing.
  if (counter <= left)
    for (QueueEntry& entry : queue)
      if (BelongsTo(entry, areaKey) && !Overrides(entry))
        entry.allowedToday = static_cast<int32_t>(counter);
  if (left >= kUnlimitedAllowance) return;
  while (counter < left) {
    const int64_t before = counter;
    for (auto it = queue.begin(); it != queue.end() && counter < left; ++it)
      if (BelongsTo(*it, areaKey)) {
        ++it->allowedToday;
        ++counter;
      }
    if (counter == before) break;  // the area has no entries
  }
}

void ReleaseSequential(SendQueue& queue, std::string_view areaKey, int64_t left) {
  for (QueueEntry& entry : queue)
    if (BelongsTo(entry, areaKey) && !Overrides(entry)) entry.allowedToday = 0;
  for (QueueEntry& entry : queue)
    if (BelongsTo(entry, areaKey) || (entry.flags & kSendImmediately)) {
      entry.allowedToday = static_cast<int32_t>(left);
      break;
    }
}

// The section numbers of a list such as "3 7"; words that are no section of the file are left
// out.
std::vector<int32_t> ListedSections(std::string_view list, int32_t total) {
  std::vector<int32_t> numbers;
  size_t pos = 0;
  for (;;) {
    SkipBlanks(pos, list);
    if (pos >= list.size()) break;
    const size_t start = pos;
    while (pos < list.size() && static_cast<unsigned char>(list[pos]) > 32) ++pos;
    const std::optional<int64_t> n = ParseWholeNumber(list.substr(start, pos - start));
    if (n && *n >= 1 && *n <= total) numbers.push_back(static_cast<int32_t>(*n));
  }
  return numbers;
}

}  // namespace

int EnqueueFile(SendQueue& queue, const EnqueueRequest& request, const QueueContext& context) {
  const std::optional<int64_t> size = FileSize(request.path);
  if (size && *size == 0) {
    context.console.WriteLine(Cp866("Файл ") + UpCaseCp866(request.path) +
                              Cp866(" пуст и не поставлен в очередь"));
    return 0;
  }
  const PathParts parts = SplitPath(request.path);
  const std::string fileName = PostedFileName(UpCaseCp866(parts.name + parts.ext));
  QueueEntryRequest entry;
  entry.path = request.path;
  entry.areaId = request.areaId;
  entry.fromName = request.fromName;
  entry.toName = request.toName;
  entry.origText = request.fromAddress;
  entry.destText = request.toAddress;
  entry.flags = request.flags;
  entry.allowance = request.allowance;
  entry.templatePath = request.templatePath;
  entry.linesPerSection = request.linesPerSection;
  entry.postedName = request.postedName.empty() ? fileName : PostedFileName(request.postedName);
  entry.subject = request.subject.empty() ? fileName : request.subject;
  if (Trim(request.sections).empty()) return AddQueueEntry(queue, entry, context) ? 1 : 0;

  const int64_t capacity = SectionCapacity(request.flags, request.linesPerSection);
  int added = 0;
  for (int32_t number :
       ListedSections(request.sections, TotalSections(size.value_or(0), capacity))) {
    entry.offset = static_cast<int32_t>((number - 1) * capacity);
    entry.flags = request.flags | kSingleSection;
    entry.allowance = 0;
    // The user's text goes into the first of them only.
    if (added > 0) entry.flags &= ~EncodeFlags{kInsertText};
    if (AddQueueEntry(queue, entry, context)) ++added;
  }
  return added;
}

void ReleaseSections(SendQueue& queue, const AreaTable& areas) {
  if (queue.empty()) return;
  for (int index = 1; index <= areas.Count(); ++index) {
    const AreaEntry& area = areas.At(index);
    const std::string key = WithoutTrailingSlash(area.areaId);
    // The remainder is kept in 32 bits and goes below zero when sections are sent at once.
    const int64_t left = static_cast<int32_t>(area.SectionsLeftToday);
    if (area.sendMode == SendMode::Sequential)
      ReleaseSequential(queue, key, left);
    else
      ReleaseParallel(queue, key, left);
  }
}

SendQueue::iterator RemoveQueueEntry(SendQueue& queue, SendQueue::iterator entry) {
  return queue.erase(entry);
}

}  // namespace vm
