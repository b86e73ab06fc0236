#include "state/dup_file.h"

#include "platform/file.h"
#include "platform/file_system.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr const char* kFileName = "veldmark.dup";
constexpr const char* kLabel = "VELDMARK.DUP";
// Three lines, about 80 bytes, per file decoded within the history length (which may be
// unlimited): several hundred thousand files.
constexpr StateFileKind kFileKind{kLabel, kDuplicatesHeader, size_t{64} << 20};
constexpr size_t kLinesPerEntry = 3;
constexpr size_t kNumbersPerEntry = 9;

// The third line of an entry: the history length in force when the file was written, then
// totalSections, postYear, postMonth, postDay, kind, decodedYear, decodedMonth, decodedDay.
enum NumberIndex : size_t {
  kHistoryLength,
  kTotalSections,
  kPostYear,
  kPostMonth,
  kPostDay,
  kKind,
  kDecodedYear,
  kDecodedMonth,
  kDecodedDay,
};

// Each number must fit the field it goes into.
bool FitsFields(const std::vector<int64_t>& n) {
  auto byte = [](int64_t v) { return v >= 0 && v <= 255; };
  return n[kHistoryLength] >= 0 && n[kHistoryLength] <= kInt32Max &&
         n[kTotalSections] <= kInt32Max && n[kPostYear] <= kInt32Max &&
         n[kDecodedYear] <= kInt32Max && byte(n[kPostMonth]) && byte(n[kPostDay]) &&
         byte(n[kKind]) && byte(n[kDecodedMonth]) && byte(n[kDecodedDay]);
}

bool Expired(int64_t age, int64_t historyLength) {
  return historyLength != kUnlimited && age > historyLength;
}

void AppendEntry(std::string& out, const HistoryEntry& entry, int64_t historyLength) {
  AppendStateLine(out, entry.fileName);
  AppendStateLine(out, entry.areaName);
  std::string numbers;
  for (int64_t v :
       {historyLength, int64_t{entry.totalSections}, int64_t{entry.posted.year},
        int64_t{entry.posted.month}, int64_t{entry.posted.day}, int64_t{entry.kind},
        int64_t{entry.decoded.year}, int64_t{entry.decoded.month}, int64_t{entry.decoded.day}}) {
    if (!numbers.empty()) numbers += ' ';
    numbers += std::to_string(v);
  }
  AppendStateLine(out, numbers);
}

}  // namespace

void ParseDuplicates(const std::vector<std::string>& lines, HistoryList& history,
                     CalendarDate today, DroppedLines& dropped) {
  size_t i = 0;
  while (i < lines.size() && !OnlyBlankLinesFrom(lines, i)) {
    std::optional<std::vector<int64_t>> n;
    if (i + kLinesPerEntry <= lines.size())
      n = ParseNumberLine(lines[i + 2], kNumbersPerEntry, kInt32Min, kUint32Max);
    if (!n || !FitsFields(*n)) {
      // Not an entry here: skip one line so that an entry after a lost or extra line is
      // found again.
      dropped.Drop(i + 2);
      ++i;
      continue;
    }
    HistoryEntry entry;
    entry.fileName = lines[i];
    entry.areaName = lines[i + 1];
    entry.totalSections = static_cast<int32_t>((*n)[kTotalSections]);
    entry.posted = {static_cast<int>((*n)[kPostYear]), static_cast<int>((*n)[kPostMonth]),
                    static_cast<int>((*n)[kPostDay])};
    entry.kind = static_cast<uint8_t>((*n)[kKind]);
    entry.decoded = {static_cast<int>((*n)[kDecodedYear]), static_cast<int>((*n)[kDecodedMonth]),
                     static_cast<int>((*n)[kDecodedDay])};
    if (!Expired(DaysFromTo(entry.decoded, today), (*n)[kHistoryLength])) {
      // A later entry of the same posting was appended during a run that did not end
      // normally, when a re-posting refreshed it: its posting date is the newer one.
      const CalendarDate posted = entry.posted;
      AddHistoryEntry(history, std::move(entry))->posted = posted;
    }
    i += kLinesPerEntry;
  }
}

std::string FormatDuplicates(const HistoryList& history, const AreaTable& areas,
                             CalendarDate today) {
  std::string out;
  AppendStateLine(out, kDuplicatesHeader);
  for (const HistoryEntry& entry : history) {
    int index = areas.FindArea(entry.areaName);
    if (index == 0) continue;
    int64_t historyLength = areas.At(index).HistoryDays;
    if (Expired(DaysFromTo(entry.decoded, today), historyLength)) continue;
    AppendEntry(out, entry, historyLength);
  }
  return out;
}

void LoadDuplicatesFile(const ProgramPaths& paths, HistoryList& history, CalendarDate today,
                        const RunLog& log) {
  StateFileText text = ReadStateFile(paths.ProgramDir + kFileName, kFileKind, log);
  DroppedLines dropped(kLabel);
  ParseDuplicates(text.lines, history, today, dropped);
  dropped.WriteTo(log);
}

bool AppendToDuplicatesFile(const ProgramPaths& paths, const HistoryEntry& entry,
                            uint32_t historyLength, bool flush) {
  const std::string path = paths.ProgramDir + kFileName;
  std::string text;
  if (FileSize(path).value_or(0) == 0) AppendStateLine(text, kDuplicatesHeader);
  AppendEntry(text, entry, historyLength);
  File file;
  // One write: a kill leaves the entry whole or not there at all.
  return file.Open(path, OpenMode::Append, Links::Replace) && file.Write(text) &&
         (!flush || file.Sync());
}

void SaveDuplicatesFile(const ProgramPaths& paths, const HistoryList& history,
                        const AreaTable& areas, CalendarDate today) {
  WriteStateFile(paths.ProgramDir + kFileName, FormatDuplicates(history, areas, today), kLabel);
}

}  // namespace vm
