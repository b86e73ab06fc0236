#include "state/queue_file.h"

#include <algorithm>

#include "platform/fatal.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "state/queue_progress_record.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr const char* kFileName = "queue.lst";
constexpr const char* kLabel = "QUEUE.LST";
// Fourteen lines of at most 255 characters per queued file, a few hundred bytes in practice:
// tens of thousands of files.
constexpr StateFileKind kFileKind{kLabel, kQueueHeader, size_t{32} << 20};

// Lines of one entry; the 14th, empty, separates entries.
enum EntryLine : size_t {
  kCountsLine,  // linesPerSection, sentToday
  kOffsetLine,
  kFileSumLine,
  kPathLine,
  kAreaIdLine,
  kFromNameLine,
  kToNameLine,
  kFlagsLine,
  kOrigAddressLine,
  kDestAddressLine,
  kTemplateLine,
  kPostedNameLine,
  kSubjectLine,
  kSeparatorLine,
  kLinesPerEntry,
};

constexpr int64_t kFewestLinesPerSection = 2;
constexpr int64_t kMostLinesPerSection = 1000;

// Walks the lines after the header; line numbers in notes count the header as line 1.
class QueueReader {
 public:
  QueueReader(const std::vector<std::string>& lines, DroppedLines& dropped)
      : lines_(lines), dropped_(dropped) {}

  bool AtEnd() const { return next_ >= lines_.size(); }
  size_t Position() const { return next_; }
  // The next line, or an empty text after the end.
  std::string Text() { return AtEnd() ? std::string() : CutTo(lines_[next_++], kMaxText); }
  std::optional<std::vector<int64_t>> Numbers(size_t count, int64_t min, int64_t max) {
    if (AtEnd()) return std::nullopt;
    auto numbers = ParseNumberLine(lines_[next_], count, min, max);
    if (!numbers) dropped_.Drop(next_ + 2);
    ++next_;
    return numbers;
  }
  void Skip() { ++next_; }
  // Notes the line just read as damaged.
  void DropPrevious() { dropped_.Drop(next_ + 1); }

  // One entry's lines from the current position, when they are one: the number lines read
  // as numbers in range and the separator empty (or missing at the end of the file).
  std::optional<QueueEntryRequest> Entry() const {
    size_t at = next_;
    if (at + kSeparatorLine > lines_.size()) return std::nullopt;
    auto line = [&](EntryLine n) -> const std::string& { return lines_[at + n]; };
    if (at + kSeparatorLine < lines_.size() && !line(kSeparatorLine).empty()) return std::nullopt;
    auto counts = ParseNumberLine(line(kCountsLine), 2, kInt32Min, kInt32Max);
    auto offset = ParseNumberLine(line(kOffsetLine), 1, 0, kInt32Max);
    auto fileSum = ParseNumberLine(line(kFileSumLine), 1, 0, kUint32Max);
    auto flags = ParseNumberLine(line(kFlagsLine), 1, 0, kUint32Max);
    if (!counts || !offset || !fileSum || !flags) return std::nullopt;
    int64_t linesPerSection = (*counts)[0];
    if (linesPerSection < kFewestLinesPerSection || linesPerSection > kMostLinesPerSection)
      return std::nullopt;
    QueueEntryRequest request;
    request.linesPerSection = static_cast<int32_t>(linesPerSection);
    request.sentToday = static_cast<int32_t>((*counts)[1]);
    request.offset = static_cast<int32_t>((*offset)[0]);
    request.fileSum = static_cast<uint32_t>((*fileSum)[0]);
    request.path = line(kPathLine);
    request.areaId = line(kAreaIdLine);
    request.fromName = line(kFromNameLine);
    request.toName = line(kToNameLine);
    request.flags = static_cast<EncodeFlags>((*flags)[0]);
    request.origText = line(kOrigAddressLine);
    request.destText = line(kDestAddressLine);
    request.templatePath = line(kTemplateLine);
    request.postedName = line(kPostedNameLine);
    request.subject = line(kSubjectLine);
    request.allowance = 0;  // the day's allowance is handed out before posting
    return request;
  }
  void SkipEntry() { next_ += kLinesPerEntry; }

 private:
  const std::vector<std::string>& lines_;
  DroppedLines& dropped_;
  size_t next_ = 0;
};

// One input history: the count, then that many lines. False when the count is unreadable
// or larger than what is left of the file; the reader then stands after the count.
bool ReadInputHistory(QueueReader& reader, size_t linesLeft, std::vector<std::string>& history) {
  auto count = reader.Numbers(1, 0, kInt32Max);
  if (!count) return false;
  if (static_cast<size_t>((*count)[0]) > linesLeft - 1) {
    reader.DropPrevious();
    return false;
  }
  for (int64_t i = 0; i < (*count)[0]; ++i) history.push_back(reader.Text());
  return true;
}

void AppendNumbers(std::string& out, std::initializer_list<int64_t> numbers) {
  std::string line;
  for (int64_t n : numbers) {
    if (!line.empty()) line += ' ';
    line += std::to_string(n);
  }
  AppendStateLine(out, line);
}

// The size and time of a file, or a state that matches no record when it cannot be asked.
FileState StateOf(const std::string& path) {
  File file;
  return file.Open(path, OpenMode::Read) ? file.State() : FileState{};
}

// (Nothing to do when there is none.)
void RemoveProgressRecord(const std::string& programDir) {
  RemoveFile(programDir + kQueueProgressFile);
}

// The progress that QUEUE.POS adds to the QUEUE.LST just read, where it is for that file; a
// record for another file is stale and removed.
void ApplyProgressRecord(const ProgramPaths& paths, RunState& state) {
  const std::string path = paths.ProgramDir + kQueueProgressFile;
  std::string record;
  int error = 0;
  if (!ReadWholeFile(path, OnePageFile::kPage, record, error)) return;
  if (!ApplyQueueProgress(record, StateOf(paths.ProgramDir + kFileName), state.queue))
    RemoveFile(path);
}

}  // namespace

void ParseQueue(const std::vector<std::string>& lines, RunState& state, const QueueContext& context,
                DroppedLines& dropped, QueueStamps* stamps) {
  QueueReader reader(lines, dropped);
  if (reader.AtEnd()) return;
  if (auto date = reader.Numbers(3, kInt32Min, kInt32Max))
    state.lastRun = {static_cast<int>((*date)[0]), static_cast<int>((*date)[1]),
                     static_cast<int>((*date)[2])};
  state.defaults.fromName = reader.Text();
  state.defaults.toName = reader.Text();
  state.defaults.fromAddress = reader.Text();
  state.defaults.toAddress = reader.Text();
  if (auto flags = reader.Numbers(1, 0, kUint32Max))
    state.defaults.flags = static_cast<EncodeFlags>((*flags)[0]) & ~(kLimitOverride | kNoTemplate);
  state.defaults.panelDirectory = reader.Text();
  reader.Skip();

  state.nameHistory.clear();
  state.addressHistory.clear();
  auto linesLeft = [&] { return lines.size() - reader.Position(); };
  // A damaged history leaves the reader on the lines that follow; the entries are found
  // again below, past whatever does not read as an entry.
  if (ReadInputHistory(reader, linesLeft(), state.nameHistory) &&
      ReadInputHistory(reader, linesLeft(), state.addressHistory))
    reader.Skip();

  while (!reader.AtEnd() && !OnlyBlankLinesFrom(lines, reader.Position())) {
    std::optional<QueueEntryRequest> request = reader.Entry();
    if (!request) {
      dropped.Drop(reader.Position() + 2);
      reader.Skip();
      continue;
    }
    if (stamps != nullptr) request->queuedAs = stamps->Take(request->path, request->areaId);
    AddQueueEntry(state.queue, *request, context);
    reader.SkipEntry();
  }
}

std::string FormatQueue(const RunState& state, QueueText what) {
  const bool whole = what == QueueText::Whole;
  std::string out;
  AppendStateLine(out, kQueueHeader);
  AppendNumbers(out, {state.lastRun.year, state.lastRun.month, state.lastRun.day});
  const EncodeDefaults& d = state.defaults;
  AppendStateLine(out, d.fromName);
  AppendStateLine(out, d.toName);
  AppendStateLine(out, d.fromAddress);
  AppendStateLine(out, d.toAddress);
  AppendNumbers(out, {d.flags});
  AppendStateLine(out, d.panelDirectory);
  AppendStateLine(out, "");
  for (const std::vector<std::string>* history : {&state.nameHistory, &state.addressHistory}) {
    AppendNumbers(out, {static_cast<int64_t>(history->size())});
    for (const std::string& text : *history) AppendStateLine(out, text);
  }
  AppendStateLine(out, "");
  for (const QueueEntry& e : state.queue) {
    if (whole) {
      AppendNumbers(out, {e.linesPerSection, e.sentToday});
      AppendNumbers(out, {e.offset});
      AppendNumbers(out, {e.fileSum});
    } else {
      AppendNumbers(out, {e.linesPerSection});
    }
    AppendStateLine(out, e.path);
    AppendStateLine(out, e.areaId);
    AppendStateLine(out, e.fromName);
    AppendStateLine(out, e.toName);
    AppendNumbers(out, {e.flags});
    AppendStateLine(out, FormatNetAddress(e.origAddress));
    AppendStateLine(out, FormatNetAddress(e.destAddress));
    AppendStateLine(out, e.templatePath);
    AppendStateLine(out, e.postedName);
    AppendStateLine(out, e.subject);
    AppendStateLine(out, "");
  }
  return out;
}

void ReadQueueFile(const ProgramPaths& paths, RunState& state, const QueueContext& context,
                   const RunLog& log) {
  StateFileText text = ReadStateFile(paths.ProgramDir + kFileName, kFileKind, log);
  if (text.status != StateFileText::Status::Read) {
    WriteQueueFile(paths, state);
    return;
  }
  DroppedLines dropped(kLabel);
  QueueStamps stamps = ReadQueueStamps(paths.ProgramDir, log);
  ParseQueue(text.lines, state, context, dropped, &stamps);
  dropped.WriteTo(log);
  ApplyProgressRecord(paths, state);
}

void WriteQueueFile(const ProgramPaths& paths, const RunState& state) {
  if (!WriteQueueStamps(paths.ProgramDir, FormatQueueStamps(state.queue)))
    FatalExit(Cp866("Не могу записать файл QUEUE.STM"));
  WriteStateFile(paths.ProgramDir + kFileName, FormatQueue(state), kLabel);
  RemoveProgressRecord(paths.ProgramDir);
}

QueueProgressFile::QueueProgressFile(const ProgramPaths& paths)
    : programDir_(paths.ProgramDir),
      list_(paths.ProgramDir + kFileName),
      record_(paths.ProgramDir + kQueueProgressFile) {}

bool QueueProgressFile::Save(const RunState& state) {
  // The stamps change only when entries come or go; they go first, so that an entry saved in
  // QUEUE.LST has its stamp.
  std::string stamps = FormatQueueStamps(state.queue);
  if (stamps != stamps_) {
    if (!WriteQueueStamps(programDir_, stamps)) return false;
    stamps_ = std::move(stamps);
  }
  const std::string text = FormatQueue(state);
  if (list_.Rewrite(text, false)) return true;
  std::string outline = FormatQueue(state, QueueText::Outline);
  if (outline == outline_ &&
      record_.Rewrite(FormatQueueProgress(state.queue, written_, listState_), true))
    return true;
  list_.Close();  // the rename replaces the file it holds
  if (!Replace(text)) return false;
  outline_ = std::move(outline);
  written_ = ProgressOf(state.queue);
  listState_ = StateOf(list_.Path());
  record_.Close();
  RemoveProgressRecord(programDir_);
  return true;
}

bool QueueProgressFile::Replace(const std::string& text) {
  const std::string temporary = list_.Path() + ".$$$";
  File file;
  // On the disk before the rename: a power cut must not leave an empty file in the old one's
  // place, which would lose the whole queue.
  const bool written =
      file.Open(temporary, OpenMode::Create, Links::Replace) && file.Write(text) && file.Sync();
  file.Close();
  if (written && RenameFile(temporary, list_.Path())) return true;
  RemoveFile(temporary);
  return false;
}

}  // namespace vm
