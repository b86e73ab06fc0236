#include "decode/history_check.h"

#include "config/area_table.h"
#include "text/cp866.h"
#include "text/date_text.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

// The entry's posting is too old to count as a duplicate of this one.
bool WindowPassed(const HistoryEntry& entry, const CalendarDate& posted, uint32_t historyDays) {
  if (historyDays == 0) return true;
  if (historyDays == kUnlimited) return false;
  return DaysFromTo(entry.posted, posted) > static_cast<int64_t>(historyDays);
}

HistoryEntry* FindEntry(HistoryList& history, const HistoryPosting& posting) {
  return FindHistoryEntry(history, static_cast<uint8_t>(posting.kind), posting.total,
                          posting.areaName, UpCaseCp866(posting.fileName));
}

}  // namespace

CalendarDate PostingDate(std::string_view dateText, const CalendarDate& today) {
  const DateTimeFields date = ReadDateTimeTexts(dateText);
  if (!date.HasDate()) return today;
  return {FullYearFromTwoDigits(date.yy), date.month, date.day};
}

bool IsNewPosting(HistoryList& history, const HistoryPosting& posting, uint32_t historyDays,
                  const CalendarDate& today) {
  const HistoryEntry* entry = FindEntry(history, posting);
  return entry == nullptr ||
         WindowPassed(*entry, PostingDate(posting.dateText, today), historyDays);
}

const HistoryEntry* RememberPosting(HistoryList& history, const HistoryPosting& posting,
                                    uint32_t historyDays, const CalendarDate& today) {
  const CalendarDate posted = PostingDate(posting.dateText, today);
  HistoryEntry* entry = FindEntry(history, posting);
  if (entry == nullptr) {
    HistoryEntry added;
    added.fileName = posting.fileName;
    added.areaName = posting.areaName;
    added.totalSections = posting.total;
    added.posted = posted;
    added.decoded = today;
    added.kind = static_cast<uint8_t>(posting.kind);
    return AddHistoryEntry(history, std::move(added));
  }
  if (!WindowPassed(*entry, posted, historyDays)) return nullptr;
  entry->posted = posted;
  return entry;
}

}  // namespace vm
