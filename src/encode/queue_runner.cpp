#include "encode/queue_runner.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "encode/section_message.h"
#include "encode/send_queue.h"
#include "msgbase/message_base.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "text/cp866.h"

namespace vm {
namespace {

constexpr int32_t kImmediateAllowance = 65535;
constexpr int64_t kLeastFreeSpace = 10000;
constexpr int64_t kSpaceRecheckBytes = 4 << 20;
constexpr std::string_view kWorkDirectoryName = "$veldm$.###";
std::string DirectoryKey(std::string_view dir) {
  std::string key = UpCaseCp866(WithTrailingSlash(dir));
  for (char& c : key)
    if (c == '/') c = '\\';
  return key;
}

// When the free space on the target's file system is asked again. Asking costs about as much
// as posting a section, so it is asked when an area is opened, and then again once the
// sections posted since may have written half of what was free beyond the least allowed (at
// most a few megabytes): between two checks the space cannot have fallen below the least.
class FreeSpaceSchedule {
 public:
  void Reset() { allowance_ = 0; }
  // Whether the space must be asked before a section of up to `bytes` bytes is posted; when
  // not, the section is counted against what the last check allows.
  bool Due(int64_t bytes) {
    if (allowance_ < bytes) return true;
    allowance_ -= bytes;
    return false;
  }
  // The space found before posting a section of up to `bytes` bytes (-1: not known).
  void Checked(int64_t free, int64_t bytes) {
    allowance_ = std::clamp<int64_t>((free - kLeastFreeSpace) / 2, 0, kSpaceRecheckBytes) - bytes;
  }

 private:
  int64_t allowance_ = 0;
};

// More than a section of the entry writes: its data encoded (at most twice their size, with
// the line ends) and room for the header, template and user text around them.
int64_t SectionBytesBound(const QueueEntry& entry) {
  return 2 * SectionCapacity(entry.flags, entry.linesPerSection) + 16384;
}

class QueueRunner {
 public:
  explicit QueueRunner(QueueRun& run)
      : run_(run), dialogs_(run.dialogs), environment_(run.settings, run.state.serials) {
    environment_.defaultToName = run.state.defaults.toName;
    environment_.workDirectory =
        WithTrailingSlash(run.paths.TempDir) + std::string(kWorkDirectoryName);
    if (dialogs_ != nullptr) environment_.userText = [this] { return dialogs_->UserText(); };
  }
  ~QueueRunner() { CloseTarget(); }

  void Run();

 private:
  struct Attempt {
    bool finished = false;
    bool notPosted = false;  // the entry stays for another run
  };

  bool OpenTarget(const QueueEntry& entry);
  void CloseTarget();
  // False when the shell's user gave up waiting for space: the run ends.
  bool CheckFreeSpace(const QueueEntry& entry);
  // The user pressed Cancel and confirmed that the current file is to be dropped.
  bool AbortConfirmed(const QueueEntry& entry);
  int64_t ExpectedSections() const;
  Attempt StartFile(QueueEntry& entry);
  Attempt PostSection(QueueEntry& entry);
  void CountAgainstArea(const QueueEntry& entry);
  void FinishFile(SendQueue::iterator entry);
  void CloseFile();
  // Console output of the command-line form; the shell shows a wait box instead.
  void Print(std::string_view text) {
    if (dialogs_ == nullptr) run_.console.Write(text);
  }
  // Something asked for that was not done: a message box in the shell, a console line from
  // the command line, and a line in the log.
  void Report(std::string_view shellText, std::string_view consoleText) {
    if (dialogs_ != nullptr)
      dialogs_->ShowError(shellText);
    else
      run_.console.WriteLine(consoleText);
    if (run_.log != nullptr) run_.log->WriteLog(consoleText);
    ++run_.failures;
  }
  // Reports a file that changed since it was queued, and closes it; true when so.
  bool ChangedSinceQueued(const QueueEntry& entry);

  QueueRun& run_;
  QueueDialogs* dialogs_;
  PostingEnvironment environment_;
  MessageBaseHandle target_;
  std::string targetId_;
  std::string freeSpaceProbe_;  // the host path whose file system holds the target
  FreeSpaceSchedule freeSpaceSchedule_;
  OpenFailure targetFailure_;            // why the last target could not be opened or locked
  const QueueEntry* started_ = nullptr;  // the entry whose file is open
  bool startedPosted_ = false;           // a section of it went out in this run
  bool lastCarriedFile_ = false;         // the last message posted held a section of the file
  PostedFile file_;
  std::vector<std::string> template_;
  bool anyStarted_ = false;
  bool abort_ = false;
};

// "%s" in a message replaced by the text.
std::string Filled(std::string_view utf8Message, std::string_view text) {
  std::string message = Cp866(utf8Message);
  const size_t at = message.find("%s");
  if (at != std::string::npos) message.replace(at, 2, text);
  return message;
}

bool QueueRunner::OpenTarget(const QueueEntry& entry) {
  if (target_ && EqualNoCaseCp866(targetId_, entry.areaId)) return true;
  CloseTarget();
  // The area is locked while the run writes to it, so that other programs sharing the base
  // see a whole series of writes; one that cannot be locked is not written to.
  // The area's own spelling of its path, should the base have to be made: an entry of an older
  // queue file may hold the id upper-cased.
  const int index = run_.areas.FindAreaByAreaId(entry.areaId);
  const std::string areaId = index != 0 ? run_.areas.At(index).areaId : entry.areaId;
  if (!OpenOrCreateMessageArea(areaId, target_, &targetFailure_)) return false;
  if (!target_->Lock()) {
    targetFailure_ = FailureOf(*target_);
    CloseMessageArea(target_);
    return false;
  }
  targetId_ = entry.areaId;
  freeSpaceProbe_ = NearestExistingHostPath(AreaLocation(areaId));
  freeSpaceSchedule_.Reset();
  return true;
}

void QueueRunner::CloseTarget() {
  if (!target_) return;
  target_->Unlock();
  CloseMessageArea(target_);
  targetId_.clear();
}

bool QueueRunner::CheckFreeSpace(const QueueEntry& entry) {
  const int64_t bytes = SectionBytesBound(entry);
  if (!freeSpaceSchedule_.Due(bytes)) return true;
  for (;;) {
    const int64_t free = FreeDiskSpaceOfHostPath(freeSpaceProbe_);
    freeSpaceSchedule_.Checked(free, bytes);
    if (free < 0 || free >= kLeastFreeSpace) return true;
    const std::string location = AreaLocation(entry.areaId);
    if (dialogs_ == nullptr) {
      run_.console.WriteLine(Cp866("Недостаточно места для кодирования на диске ") + location);
      return true;
    }
    if (!dialogs_->AskYesNo(
            Filled("Нехватка места для кодирования на диске %s. Повторить?", location)))
      return false;
  }
}

bool QueueRunner::AbortConfirmed(const QueueEntry& entry) {
  return dialogs_ != nullptr && dialogs_->CancelPressed() &&
         dialogs_->AskYesNo(
             Filled("Прервать посылку файла %s и удалить его из очереди?", entry.path));
}

int64_t QueueRunner::ExpectedSections() const {
  int64_t sections = 0;
  for (const QueueEntry& entry : run_.state.queue) {
    const std::optional<int64_t> size = FileSize(entry.path);
    if (!size) continue;
    if (entry.flags & kSingleSection) {
      ++sections;
      continue;
    }
    const int64_t capacity = SectionCapacity(entry.flags, entry.linesPerSection);
    sections += TotalSections(*size, capacity) - TotalSections(entry.offset, capacity);
  }
  return sections;
}

void QueueRunner::CloseFile() {
  file_.input.Close();
  template_.clear();
}

bool QueueRunner::ChangedSinceQueued(const QueueEntry& entry) {
  const FileState now = file_.input.State();
  const bool changed = entry.queuedAs && (now.size != entry.queuedAs->size ||
                                          now.modifiedNs != entry.queuedAs->modifiedNs);
  // An offset past the end, which a hand-edited or damaged queue file may hold, would post
  // sections that do not exist.
  const bool pastEnd = entry.offset > now.size;
  if (!changed && !pastEnd) return false;
  const std::string message =
      Cp866("Файл ") + entry.path +
      Cp866(changed ? " изменился после постановки в очередь" : " короче, чем отмечено в очереди") +
      Cp866(" и не послан; поставьте его в очередь заново");
  Report(message, message);
  CloseFile();
  started_ = nullptr;
  return true;
}

QueueRunner::Attempt QueueRunner::StartFile(QueueEntry& entry) {
  Print(anyStarted_ ? "\n" : Cp866("Обработка очереди...\n\n"));
  anyStarted_ = true;
  const PathParts parts = SplitPath(entry.path);
  Print(Cp866(" ∙ ") + UpCaseCp866(parts.name + parts.ext) + " ");
  started_ = &entry;
  startedPosted_ = false;
  CloseFile();

  Attempt attempt;
  attempt.finished = true;
  std::optional<std::vector<std::string>> lines = ReadTemplate(entry.templatePath);
  if (!lines) {
    Report(Filled("Шаблон %s не найден. Секция пропущена.", entry.templatePath),
           Cp866("Шаблон ") + entry.templatePath + Cp866(" не найден. Секция ") +
               std::to_string(SectionNumber(entry)) + Cp866(" файла ") + entry.path +
               Cp866(" пропущена."));
    return attempt;
  }
  template_ = std::move(*lines);
  if (!OpenPostedFile(entry, file_)) {
    Report(Filled("Файл %s не найден", entry.path),
           Cp866("Файл ") + entry.path + Cp866(" не найден"));
    return attempt;
  }
  if (ChangedSinceQueued(entry)) {
    attempt.finished = false;
    attempt.notPosted = true;
    return attempt;
  }
  // Emptied since it was queued: nothing to post, and a section "1 of 0" would help no one.
  if (file_.size == 0) {
    const std::string message = Cp866("Файл ") + entry.path + Cp866(" пуст");
    Report(message, message);
    CloseFile();
    return attempt;
  }
  if (file_.utf8ToCp866) Print(Cp866("(UTF-8 в CP866) "));
  attempt = PostSection(entry);
  entry.flags &= ~EncodeFlags{kInsertText};
  return attempt;
}

QueueRunner::Attempt QueueRunner::PostSection(QueueEntry& entry) {
  const int32_t offset = entry.offset;
  const uint32_t fileSum = entry.fileSum;
  const int index = run_.areas.FindAreaByAreaId(entry.areaId);
  const bool netmail = index != 0 && run_.areas.At(index).netmail != 0;
  const SectionMessage message =
      BuildSectionMessage(entry, file_, template_, netmail, *target_, environment_);
  Attempt attempt;
  attempt.finished = message.finished;
  if (message.writeResult != 0) {
    // Not posted: the entry stays where it was, to post this section another time.
    entry.offset = offset;
    entry.fileSum = fileSum;
    attempt.notPosted = true;
    const std::string message = Cp866("Ошибка записи в ") + entry.areaId;
    Report(message, message);
    return attempt;
  }
  if (dialogs_ != nullptr) dialogs_->StepProgress();
  ++entry.sentToday;
  startedPosted_ = true;
  lastCarriedFile_ = message.carriedFile;
  if (run_.saveProgress) run_.saveProgress();
  return attempt;
}

void QueueRunner::CountAgainstArea(const QueueEntry& entry) {
  const int index = run_.areas.FindAreaByAreaId(entry.areaId);
  if (index == 0) return;
  AreaEntry& area = run_.areas.AtKeepingKeys(index);
  if (area.SectionsPerDay != kUnlimited) --area.SectionsLeftToday;  // may wrap below zero
}

void QueueRunner::FinishFile(SendQueue::iterator it) {
  const QueueEntry& entry = *it;
  const bool posted = started_ == &entry && startedPosted_;
  if (posted) {
    const bool inTempPath =
        !run_.settings.TEMPPATH.empty() &&
        DirectoryKey(SplitPath(entry.path).dir) == DirectoryKey(run_.settings.TEMPPATH);
    // A posting the user dropped keeps its file, and so does one whose last message went out
    // without its section (a template without a SECTION line). The messages go to the disk
    // before the file they carry is deleted: a power cut must not take both.
    const bool removes =
        (!abort_ && lastCarriedFile_ && (entry.flags & (kDeleteAfterSending | kCompressed))) ||
        (inTempPath && !(entry.flags & kSingleSection));
    if (removes && SyncFileSystemOfHostPath(freeSpaceProbe_)) RemoveFile(entry.path);
    const int index = run_.areas.FindAreaByAreaId(entry.areaId);
    if (!run_.settings.DECODEYOURS && index != 0) {
      // Under the name it went out as, the one the decoder will meet.
      HistoryEntry history;
      history.fileName = entry.postedName;
      history.areaName = run_.areas.At(index).tag;
      history.totalSections = file_.total;
      history.kind = static_cast<uint8_t>(SectionKind(entry.flags));
      history.posted = history.decoded = run_.today;
      AddHistoryEntry(run_.state.history, history);
    }
  }
  if (started_ == &entry) {
    CloseFile();
    started_ = nullptr;
  }
  RemoveQueueEntry(run_.state.queue, it);
  if (run_.saveProgress) run_.saveProgress();
}

void QueueRunner::Run() {
  SendQueue& queue = run_.state.queue;
  // Entries just added (by /Encode or the encode dialog) are saved before their first section
  // goes out: a run killed after it posts that section again rather than losing the rest.
  if (run_.saveProgress && !queue.empty()) run_.saveProgress();
  if (dialogs_ != nullptr) dialogs_->BeginProgress(ExpectedSections());
  ReleaseSections(queue, run_.areas);
  for (auto it = queue.begin(); it != queue.end() && !abort_;) {
    QueueEntry& entry = *it;
    if (AbortConfirmed(entry)) {
      // Dropped without another section: the entry leaves the queue, its file stays.
      abort_ = true;
      FinishFile(it);
      break;
    }
    if (!OpenTarget(entry)) {
      const std::string reason = DescribeOpenFailure(targetFailure_);
      Report(Filled("Нет доступа к %s", entry.areaId) + reason,
             Cp866("Нет доступа к ") + entry.areaId + reason);
      ++it;
      continue;
    }
    const bool immediate = (entry.flags & kSendImmediately) != 0;
    if (immediate) entry.allowedToday = kImmediateAllowance;
    const bool mayPost =
        entry.sentToday < entry.allowedToday || immediate || (entry.flags & kInsertText);
    Attempt attempt;
    if (mayPost) {
      if (!CheckFreeSpace(entry)) break;
      if (started_ != &entry)
        attempt = StartFile(entry);
      else if (ChangedSinceQueued(entry))
        attempt.notPosted = true;
      else
        attempt = PostSection(entry);
      if (attempt.notPosted) {
        ++it;  // kept for another run
        continue;
      }
      CountAgainstArea(entry);
      Print(">");
      if (attempt.finished) Print(" - Ok");
    }
    if (attempt.finished) {
      const auto next = std::next(it);
      FinishFile(it);
      it = next;
      ReleaseSections(queue, run_.areas);
    } else if (entry.sentToday >= entry.allowedToday) {
      ++it;
    }
  }
  if (anyStarted_) Print("\n");
  CloseFile();
  CloseTarget();
  RemoveDirectory(environment_.workDirectory);
  if (dialogs_ != nullptr) dialogs_->EndProgress();
}

}  // namespace

void ProcessQueue(QueueRun& run) { QueueRunner(run).Run(); }

}  // namespace vm
