#include "state/history.h"

#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr size_t kFileNameWidth = 12;
constexpr size_t kAreaNameWidth = 50;

}  // namespace

HistoryEntry* FindHistoryEntry(HistoryList& history, uint8_t kind, int32_t totalSections,
                               std::string_view areaName, std::string_view fileName) {
  for (HistoryEntry& entry : history) {
    if (entry.kind == kind && entry.totalSections == totalSections &&
        EqualNoCaseCp866(entry.areaName, areaName) && EqualNoCaseCp866(entry.fileName, fileName))
      return &entry;
  }
  return nullptr;
}

HistoryEntry* AddHistoryEntry(HistoryList& history, HistoryEntry entry) {
  entry.fileName = CutTo(UpCaseCp866(entry.fileName), kFileNameWidth);
  entry.areaName = CutTo(UpCaseCp866(entry.areaName), kAreaNameWidth);
  if (HistoryEntry* found =
          FindHistoryEntry(history, entry.kind, entry.totalSections, entry.areaName, entry.fileName))
    return found;
  history.push_back(std::move(entry));
  return &history.back();
}

}  // namespace vm
