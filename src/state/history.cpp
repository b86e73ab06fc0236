#include "state/history.h"

#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr size_t kFileNameWidth = 12;
constexpr size_t kAreaNameWidth = 50;

// What tells two postings apart: kind, total sections, and the names in upper case.
std::string IdentityKey(uint8_t kind, int32_t totalSections, std::string_view areaName,
                        std::string_view fileName) {
  std::string key = std::to_string(kind) + ' ' + std::to_string(totalSections) + ' ';
  key += UpCaseCp866(areaName);
  key += '\0';
  key += UpCaseCp866(fileName);
  return key;
}

}  // namespace

HistoryEntry* FindHistoryEntry(HistoryList& history, uint8_t kind, int32_t totalSections,
                               std::string_view areaName, std::string_view fileName) {
  auto it = history.index_.find(IdentityKey(kind, totalSections, areaName, fileName));
  return it == history.index_.end() ? nullptr : &history.entries_[it->second];
}

HistoryEntry* AddHistoryEntry(HistoryList& history, HistoryEntry entry) {
  entry.fileName = CutTo(UpCaseCp866(entry.fileName), kFileNameWidth);
  entry.areaName = CutTo(UpCaseCp866(entry.areaName), kAreaNameWidth);
  if (HistoryEntry* found = FindHistoryEntry(history, entry.kind, entry.totalSections,
                                             entry.areaName, entry.fileName))
    return found;
  history.index_.emplace(
      IdentityKey(entry.kind, entry.totalSections, entry.areaName, entry.fileName),
      history.entries_.size());
  history.entries_.push_back(std::move(entry));
  return &history.entries_.back();
}

}  // namespace vm
