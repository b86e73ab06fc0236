#include "decode/unattended_decode.h"

#include <optional>
#include <set>
#include <unordered_map>

#include "config/area_table.h"
#include "config/file_description.h"
#include "config/settings.h"
#include "decode/area_scan.h"
#include "decode/dsc_file.h"
#include "decode/duplicate_policy.h"
#include "decode/file_decoder.h"
#include "decode/file_destination.h"
#include "decode/files_bbs.h"
#include "decode/history_check.h"
#include "decode/own_address.h"
#include "decode/report.h"
#include "decode/safe_name.h"
#include "msgbase/message_base.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/run_log.h"
#include "state/dup_file.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr size_t kScanNameWidth = 40;
constexpr size_t kProgressWidth = 68;
// A decoded file's temporary is held while it is written and renamed at once after: one that
// nobody holds and that was quiet for a minute is left from a killed run.
constexpr int64_t kTemporaryQuietSeconds = 60;

// The messages that hold sections of the file, each once.
std::set<int32_t> MessagesOf(const FoundFile& file) {
  std::set<int32_t> messages;
  for (const SectionSlot& slot : file.sections)
    if (slot.message != 0) messages.insert(slot.message);
  return messages;
}

class AreaDecoder {
 public:
  AreaDecoder(UnattendedRun& run, AreaEntry& area)
      : run_(run),
        area_(area),
        session_{run.settings, run.state, run.console, run.log, nullptr},
        scanLine_(Cp866("  Сканирую ") + FieldPad(kScanNameWidth, 0, area.displayName)) {}

  void Run();

 private:
  void HandleFile(const FoundFile& file);
  // Records the decode in the history, in memory and at the end of VELDMARK.DUP.
  void Remember(const HistoryPosting& posting);
  void WriteDescription(const std::string& directory, std::string_view name,
                        const std::string& text);
  void PrepareArea();
  // The directory a file goes to: its route's, or the area's.
  std::string DirectoryFor(std::string_view name) const;
  void ListAndDescribe(const FoundFile& file, std::string_view name, const std::string& finalPath);
  // DELETEDECODED: the file's clean messages that no other found file still needs go.
  void DeleteMessages(const FoundFile& file, const std::vector<int32_t>& clean, bool fileClean);

  UnattendedRun& run_;
  AreaEntry& area_;
  DecodeSession session_;
  const std::string scanLine_;
  MessageBaseHandle base_;
  bool prepared_ = false;
  std::string areaDirectory_;
  FilesBbs areaList_;  // the area's own files.bbs in the ADVANCED receive mode
  int32_t decodedHere_ = 0;
  // For each message, the found files with a section in it that were not yet decoded cleanly.
  std::unordered_map<int32_t, int> messageUsers_;
};

void AreaDecoder::Run() {
  Console& console = run_.console;
  console.WriteProgress(scanLine_);
  OpenFailure failure;
  if (!OpenMessageArea(area_.areaId, base_, &failure)) {
    const std::string why = DescribeOpenFailure(failure);
    run_.log.WriteLog(Cp866("Нет доступа к ") + area_.tag + " - " + area_.areaId + why);
    WriteWholeLine(console, scanLine_ + Cp866(" - нет доступа к базе") + why);
    ++run_.failures;
    return;
  }
  // A run that deletes what it decodes may change the base: what a killed run left half done
  // is mended now, also when nothing comes to be deleted. A base that cannot be changed is
  // still read.
  if (run_.settings.DELETEDECODED && base_->Mend() != 0) {
    const std::string why = DescribeOpenFailure(FailureOf(*base_));
    run_.log.WriteLog(Cp866("Сообщения не будут удалены из ") + area_.tag + " - " + area_.areaId +
                      why);
    WriteWholeLine(console, scanLine_ + Cp866(" - сообщения не будут удалены") + why);
  }
  ScanOptions scan;
  scan.startMessage = 1;
  scan.scanAll = run_.options.scanAll;
  scan.scanLine = scanLine_;
  ScanArea(session_, *base_, area_, run_.catalogue, scan);
  console.WriteProgress(std::string(kProgressWidth, ' '));
  console.WriteProgress("");
  if (run_.state.scanInterrupted)
    WriteWholeLine(console, scanLine_ + Cp866(" - сканирование прервано"));

  if (run_.settings.DELETEDECODED)
    for (int i = 2; i <= run_.catalogue.Count(); ++i)
      for (int32_t message : MessagesOf(run_.catalogue.At(i))) ++messageUsers_[message];
  for (int i = 2; i <= run_.catalogue.Count(); ++i) {
    const FoundFile& file = run_.catalogue.At(i);
    if (file.Complete() || run_.options.decodeAnyway) HandleFile(file);
  }

  areaList_.Close();
  CloseMessageArea(base_);
  if (run_.catalogue.FileCount() > 0 && prepared_) {
    console.WriteLine(Cp866("  Найдено файлов: ") + std::to_string(run_.catalogue.FileCount()) +
                      Cp866("  Раскодировано: ") + std::to_string(decodedHere_));
    run_.report.AreaEnd();
  }
}

void AreaDecoder::HandleFile(const FoundFile& file) {
  const Settings& settings = run_.settings;
  const std::string name = SafeOutputName(file.name);
  const HistoryPosting posting{file.date, file.kind, file.total, area_.tag, file.name};
  // Files from this node are the sysop's own postings: not decoded back unless asked.
  const bool consultHistory = !IsOwnAddress(settings, file.fromAddress) || settings.DECODEYOURS;
  const bool isNew =
      consultHistory && IsNewPosting(run_.history, posting, area_.HistoryDays, run_.today);
  if (!isNew && !run_.options.decodeAnyway) return;

  if (!prepared_) PrepareArea();
  const std::string directory = DirectoryFor(name);
  if (run_.clearedDirectories.insert(directory).second)
    RemoveStaleTemporaries(directory, kTemporaryNameMask, kTemporaryQuietSeconds);
  std::optional<std::string> dsc;
  if (settings.HEADERS) dsc = DscText(session_, *base_, file, name);

  const FileDecodeOutcome outcome = DecodeFoundFile(session_, *base_, run_.work, file, directory);
  const bool clean = outcome.result == 0;
  const std::string status = FieldPad(22, 4, name) + "   [" + std::to_string(file.present) + "/" +
                             std::to_string(file.total) + "]" +
                             (clean ? " - Ok" : Cp866(" - Ошибка"));
  run_.log.WriteLog(status);

  const std::string temporary = WithTrailingSlash(directory) + outcome.outputName;
  std::optional<PlacedFile> placed;
  bool placementFailed = false;
  if ((outcome.result & decode_flag::kNotDecoded) != 0) {
    // Nothing was decoded (the file could not be created, or the run was aborted).
    if (!outcome.outputName.empty()) RemoveFile(temporary);
    ++run_.failures;
  } else if (clean || !settings.DELETEBAD) {
    // A new posting whose bytes are already there was decoded by a run that ended before it
    // could remember it: not placed, listed or reported a second time.
    placed = PlaceDecodedFile(settings.DUPES, directory, outcome.outputName, name, isNew, run_.log);
    placementFailed = !placed;
  } else {
    RemoveFile(temporary);
    run_.log.WriteLog(Cp866("    Удален"));
  }
  WriteWholeLine(run_.console, status);
  if (placementFailed) {
    WriteWholeLine(run_.console, Cp866("    Не могу записать файл ") + name);
    ++run_.failures;
  }
  // A file that was not kept keeps its messages, whatever DELETEDECODED says.
  if (!placed) return;

  // The order matters for a run that is killed: the file is in place before the history
  // knows it, and the history is on the disk before the messages go. A kill in between
  // leaves the posting decoded with its messages still there, and the next run skips it or
  // finds the same bytes already in place.
  // Only a file shown complete and sound is remembered: a damaged one kept by DELETEBAD no
  // must not hold back a later, sound posting of the same file as a duplicate.
  if (consultHistory && clean) Remember(posting);
  if (!placed->alreadyThere) {
    ++decodedHere_;
    ++run_.decodedFiles;
    run_.report.CountFile(FileSize(placed->path).value_or(0));
    if (clean) ListAndDescribe(file, name, placed->path);
    if (dsc) WriteDescription(directory, name, *dsc);
  }
  if (settings.DELETEDECODED) DeleteMessages(file, outcome.cleanMessages, clean);
}

void AreaDecoder::DeleteMessages(const FoundFile& file, const std::vector<int32_t>& clean,
                                 bool fileClean) {
  // A message that also holds a section of a file decoded later, or of one that is not
  // complete yet, stays until that file is done with it.
  std::vector<int32_t> deletable;
  for (int32_t message : clean)
    if (messageUsers_[message] <= 1) deletable.push_back(message);
  DeleteDecodedMessages(*base_, deletable);
  if (fileClean)
    for (int32_t message : MessagesOf(file)) --messageUsers_[message];
}

void AreaDecoder::Remember(const HistoryPosting& posting) {
  const HistoryEntry* entry = RememberPosting(run_.history, posting, area_.HistoryDays, run_.today);
  if (entry != nullptr && run_.paths != nullptr &&
      !AppendToDuplicatesFile(*run_.paths, *entry, area_.HistoryDays, run_.settings.DELETEDECODED))
    run_.log.WriteLog(Cp866("Не могу записать файл VELDMARK.DUP"));
}

void AreaDecoder::WriteDescription(const std::string& directory, std::string_view name,
                                   const std::string& text) {
  const std::string path = DscPathFor(directory, name);
  if (!path.empty() && !WriteDscFile(path, text))
    run_.log.WriteLog(Cp866("    Описание не записано: ") + SplitPath(path).name + ".dsc");
}

void AreaDecoder::ListAndDescribe(const FoundFile& file, std::string_view name,
                                  const std::string& finalPath) {
  const Settings& settings = run_.settings;
  const std::vector<std::string> description =
      DescribeFile(settings, finalPath, file.subject, run_.workDirectory);
  run_.report.ListFile(name, description);
  areaList_.WriteEntry(name, description, settings.ALLFIXFILESBBS);
  run_.report.ReportFile(name, file.present, file.total, FileSize(finalPath).value_or(0),
                         description);
}

void AreaDecoder::PrepareArea() {
  const Settings& settings = run_.settings;
  areaDirectory_ = settings.ROOT;
  if (settings.RECEIVEMODE == ReceiveMode::Advanced) {
    areaDirectory_ =
        WithTrailingSlash(settings.ROOT) + AreaDirectoryName(area_.tag, settings.LONGFILENAMES);
    MakeDirectories(areaDirectory_);
    areaList_.Open(areaDirectory_, settings.FILESBBS);
  }
  run_.report.AreaHeader(area_.tag, scanLine_, run_.catalogue.FileCount());
  prepared_ = true;
}

std::string AreaDecoder::DirectoryFor(std::string_view name) const {
  const std::string route = DecodeDirFor(area_, name);
  if (route.empty()) return areaDirectory_;
  const std::string directory = AbsoluteFrom(route, run_.baseDirectory);
  MakeDirectories(directory);
  // A route that cannot be made leaves the file in the area's directory.
  return DirectoryExists(directory) ? WithoutTrailingSlash(directory) : areaDirectory_;
}

}  // namespace

void DecodeAreaUnattended(UnattendedRun& run, int areaIndex) {
  AreaDecoder(run, run.areas.At(areaIndex)).Run();
}

}  // namespace vm
