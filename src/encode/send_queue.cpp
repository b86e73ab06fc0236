#include "encode/send_queue.h"

#include "encode/posted_name.h"
#include "encode/section_layout.h"
#include "encode/section_message.h"
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
  // A negative remainder (sections sent at once beyond the limit) changes nothing. An entry
  // that overrides the limit is not held back by the sections it posted earlier today: its
  // shares come on top of those. Shares it did not use go back to the area like any other's,
  // so that the shares handed out never exceed what the area has left.
  if (counter <= left)
    for (QueueEntry& entry : queue)
      if (BelongsTo(entry, areaKey))
        entry.allowedToday = Overrides(entry) && counter < kUnlimitedAllowance
                                 ? entry.sentToday
                                 : static_cast<int32_t>(counter);
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

// A template without a SECTION line posts messages without the file. False when the file
// is therefore not to be queued.
bool TemplateFits(const EnqueueRequest& request, const std::string& fileName,
                  const QueueContext& context) {
  if (request.flags & kNoTemplate) return true;
  const std::optional<std::vector<std::string>> lines = ReadTemplate(request.templatePath);
  // A missing template is reported when the file is posted.
  if (!lines || TemplateCarriesFile(*lines)) return true;
  const std::string lacking =
      Cp866("В шаблоне ") + UpCaseCp866(request.templatePath) + Cp866(" нет строки @SECTION");
  const bool deleted = (request.flags & kDeleteAfterSending) != 0;
  if (request.reportTemplate)
    context.console.WriteLine(
        deleted ? lacking + Cp866(": файл ") + fileName +
                      Cp866(" был бы удален, не будучи послан, и не поставлен в очередь")
                : lacking + Cp866(": сообщения уйдут без файла ") + fileName);
  return !deleted;
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
  if (!TemplateFits(request, fileName, context)) return 0;
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
