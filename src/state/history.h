// The history of decoded (and posted) files, kept in VELDMARK.DUP between runs: a file met
// again in an area within the area's history window is not decoded a second time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "state/calendar_date.h"

namespace vm {

struct HistoryEntry {
  std::string fileName;  // at most 12, upper case
  std::string areaName;  // area tag, at most 50, upper case
  int32_t totalSections = 0;
  CalendarDate posted;   // date of the posting's message
  CalendarDate decoded;  // date the entry was made
  uint8_t kind = 0;      // EncodingKind of the posting
};

// In insertion order, new entries at the end, with an index on what identifies a posting, so
// that a run that decodes thousands of files does not compare every file with every entry.
// Pointers into it stay valid until the next AddHistoryEntry.
class HistoryList {
 public:
  using const_iterator = std::vector<HistoryEntry>::const_iterator;
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }
  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const HistoryEntry& operator[](size_t i) const { return entries_[i]; }

 private:
  friend HistoryEntry* FindHistoryEntry(HistoryList&, uint8_t, int32_t, std::string_view,
                                        std::string_view);
  friend HistoryEntry* AddHistoryEntry(HistoryList&, HistoryEntry);

  std::vector<HistoryEntry> entries_;
  std::unordered_map<std::string, size_t> index_;  // IdentityKey -> position in entries_
};

// The first entry whose kind, total sections, area name and file name are equal (names
// compared in upper case); nullptr when none.
HistoryEntry* FindHistoryEntry(HistoryList& history, uint8_t kind, int32_t totalSections,
                               std::string_view areaName, std::string_view fileName);

// Appends the entry (names upper-cased and cut to their widths) unless FindHistoryEntry finds
// one with the same kind, area name, file name and total sections. Returns the entry in the
// list: the new one or the one already there.
HistoryEntry* AddHistoryEntry(HistoryList& history, HistoryEntry entry);

}  // namespace vm
