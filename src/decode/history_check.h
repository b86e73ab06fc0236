// The duplicates history as unattended decoding consults it: is a complete file found in an
// area new, or was it decoded from an earlier posting within the area's history window?
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "state/calendar_date.h"
#include "state/history.h"
#include "text/encoding_kind.h"

namespace vm {

// One posting of a file as the history knows it.
struct HistoryPosting {
  std::string dateText;  // the message's "MM-DD-YY"
  EncodingKind kind = EncodingKind::None;
  int32_t total = 0;
  std::string areaName;  // the area's tag
  std::string fileName;
};

// The posting's date from its "MM-DD-YY" text; two-digit years below 80 are 20YY, the others
// 19YY, as the message bases read them. A text that is no date gives `today`.
CalendarDate PostingDate(std::string_view dateText, const CalendarDate& today);

// Whether the posting is to be decoded: no entry of the file yet, or the entry's posting lies
// more than historyDays (65535: never) before this one, or the history length is 0. Changes
// nothing; RememberPosting records the decode.
bool IsNewPosting(HistoryList& history, const HistoryPosting& posting, uint32_t historyDays,
                  const CalendarDate& today);

// Records the posting as IsNewPosting judged it: a new entry (posted on the posting's date,
// decoded today), or an entry whose window has passed refreshed to this posting (its decoded
// date stays); an entry still within its window is left as it is. Returns the entry made or
// refreshed; nullptr when nothing changed.
const HistoryEntry* RememberPosting(HistoryList& history, const HistoryPosting& posting,
                                    uint32_t historyDays, const CalendarDate& today);

}  // namespace vm
