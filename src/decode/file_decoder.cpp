#include "decode/file_decoder.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "config/settings.h"
#include "decode/area_scan.h"
#include "decode/md5.h"
#include "decode/safe_name.h"
#include "msgbase/message_base.h"
#include "platform/console.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/run_log.h"
#include "text/cp866.h"
#include "text/dos_time.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

// The message of each section flag, in the order the shell shows them ("%d": section).
struct FlagMessage {
  uint8_t flag;
  const char* text;
};
constexpr FlagMessage kFlagMessages[] = {
    {decode_flag::kTextError, "Ошибка декодирования текста. Секция %d"},
    {decode_flag::kTooLarge, "Секция %d слишком большая."},
    {decode_flag::kSectionCrc, "CRC секции не совпадают. Секция %d"},
    {decode_flag::kFileCrc, "CRC файла не совпадают"},
    {decode_flag::kSectionLength, "Длины секции не совпадают. Секция %d"},
    {decode_flag::kFileLength, "Длины файла не совпадают."},
};

std::string Fill(std::string_view utf8Text, std::string_view value) {
  std::string text = Cp866(utf8Text);
  for (const char* mark : {"%d", "%s"}) {
    size_t at = text.find(mark);
    if (at != std::string::npos) text.replace(at, 2, value);
  }
  return text;
}

bool IsValidDosTime(const DateTime& t) {
  return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour < 24 &&
         t.minute < 60 && t.second < 60;
}

class FileAssembler {
 public:
  FileAssembler(DecodeSession& session, MessageBase& base, FileDecodeWork& work,
                const FoundFile& file)
      : session_(session),
        base_(base),
        work_(work),
        file_(file),
        unattended_(session.Unattended()) {}

  FileDecodeOutcome Run(std::string_view directory);

 private:
  void Report(std::string_view text) const;
  // Tells the base which messages the sections will be read from, in order.
  void AnnounceMessages();
  // False when the user answered that decoding stops here.
  bool DecodeSection(int32_t i, uint8_t& result);
  uint8_t RunSectionDecoder(int32_t number);
  // Decodes the section at the slot into the section buffer; false when its message is gone.
  bool DecodeAt(const SectionSlot& slot, int32_t number, uint8_t& flags);
  // The bytes of earlier postings of section i that a later one replaced, when they are to
  // be compared with it: not when the whole file was posted again.
  std::vector<std::string> ReplacedBytes(int32_t i);
  // Reports what the checks found about the sections queued for them: all of them with
  // `all`, which comes before anything else is said so that reports stay in section order.
  void TakeChecked(bool all, uint8_t& result);
  void Finish(const CheckedSection& section, uint8_t& result);
  void ReportFlags(uint8_t flags, int32_t number) const;
  // The whole file against the digest and length that the posting states.
  void CheckStatedFile(uint8_t& result);
  // Output goes to the file in large writes: one per section would cost a system call per
  // few kilobytes. False once the disk refused any of it.
  bool Output(const unsigned char* data, size_t size);
  bool FlushOutput();
  // The messages with clean sections only (a message may hold several sections).
  std::vector<int32_t> CleanMessages();

  DecodeSession& session_;
  MessageBase& base_;
  FileDecodeWork& work_;
  const FoundFile& file_;
  const bool unattended_;
  File out_;
  std::vector<unsigned char> pendingOutput_;
  bool outputFailed_ = false;
  std::vector<int32_t> cleanMessages_;
  std::vector<int32_t> faultyMessages_;
  Md5 md5_;
  uint64_t written_ = 0;
  bool compareReplaced_ = false;
};

// Whether sections that a later message replaced are compared with their replacements: not
// when every section was posted again (a new posting of the whole file).
bool CompareReplaced(const FoundFile& file) {
  if (file.replaced.empty()) return false;
  std::vector<bool> again(static_cast<size_t>(std::max(file.total, 0)) + 1, false);
  for (const auto& [number, slot] : file.replaced)
    if (number >= 1 && number <= file.total) again[static_cast<size_t>(number)] = true;
  return std::count(again.begin() + 1, again.end(), true) != file.total;
}

bool HasSumLines(EncodingKind kind) {
  return kind == EncodingKind::Uu || kind == EncodingKind::Xx || kind == EncodingKind::MimeBase64;
}

void FileAssembler::Report(std::string_view text) const {
  if (unattended_) {
    session_.console.WriteLine("");
    session_.console.WriteLine(text);
  } else {
    session_.dialogs->ShowError(text);
  }
}

FileDecodeOutcome FileAssembler::Run(std::string_view directory) {
  FileDecodeOutcome outcome;
  outcome.result = decode_flag::kNotDecoded;
  if (session_.state.abortPending) return outcome;
  work_.StartFile();
  session_.state.CurrentDataKind = file_.kind;

  outcome.outputName = unattended_ ? RandomTemporaryName() : SafeOutputName(file_.name);
  const std::string path = OutputPathIn(directory, outcome.outputName);
  if (!unattended_ && !path.empty() && FileExists(path) &&
      !session_.dialogs->AskYesNo(
          Fill("Файл %s уже существует. Перезаписать?", outcome.outputName)))
    return outcome;
  if (path.empty() || !out_.Open(path, OpenMode::Create, Links::Replace)) {
    Report(Cp866("Не могу создать файл"));
    return outcome;
  }
  // Held while it is written, so that a later run tells it from one a killed run left.
  if (unattended_) out_.ClaimTemporary();

  AnnounceMessages();
  compareReplaced_ = CompareReplaced(file_);
  uint8_t result = 0;
  for (int32_t i = 1; i <= file_.total; ++i) {
    if (!session_.state.abortPending && session_.AbortKeyPressed())
      session_.state.abortPending = true;
    if (session_.state.abortPending) {
      TakeChecked(true, result);
      if (unattended_ || session_.dialogs->AskYesNo(Cp866("Прервать раскодирование файлов?"))) {
        out_.Close();
        RemoveFile(path);
        return outcome;
      }
      session_.state.abortPending = false;
    }
    if (unattended_) {
      session_.console.WriteProgress(FieldPad(25, 4, file_.name) + std::to_string(i) + ".." +
                                     std::to_string(file_.total));
    }
    if (!DecodeSection(i, result)) break;
    if (!Output(work_.buffer.data(), work_.count)) break;
    TakeChecked(false, result);
  }
  TakeChecked(true, result);
  if ((result & decode_flag::kMissing) == 0) CheckStatedFile(result);
  if (!FlushOutput()) {
    Report(unattended_ ? Cp866("Недостаточно места на диске")
                       : Cp866("Недостаточно места на диске."));
    // A half-written file is no decoded file: it goes, and no message is deleted.
    out_.Close();
    RemoveFile(path);
    return outcome;
  }
  // The file must be on the disk before its messages are deleted.
  if (unattended_ && session_.settings.DELETEDECODED) out_.Sync();
  out_.Close();
  if (work_.fileTime != 0) {
    const DateTime time = UnpackDosDateTime(static_cast<uint32_t>(work_.fileTime));
    if (IsValidDosTime(time)) SetFileModifiedLocal(path, time);
  }
  outcome.result = result;
  outcome.cleanMessages = CleanMessages();
  return outcome;
}

void FileAssembler::AnnounceMessages() {
  std::vector<int32_t> messages;
  for (int32_t i = 1; i <= file_.total; ++i)
    if (const SectionSlot* slot = file_.Slot(i); slot != nullptr && slot->message != 0)
      messages.push_back(slot->message);
  base_.WillLoad(messages);
}

bool FileAssembler::DecodeAt(const SectionSlot& slot, int32_t number, uint8_t& flags) {
  work_.count = 0;
  base_.SeekFrom(slot.message);
  base_.LoadHeader();
  base_.StartReading();
  base_.SetTextPosition(slot.textPos);
  // The message may have gone or been replaced since the scan (deleted, or another one given
  // its number when the area was packed): no other message is read in its place. (A text
  // file's base tells Found by its reading position, so it is asked only now.)
  if (!base_.Found() || base_.MessageNumber() != slot.message || base_.IsDeleted() ||
      MessageCrc(base_) != slot.check)
    return false;
  flags = RunSectionDecoder(number);
  return true;
}

std::vector<std::string> FileAssembler::ReplacedBytes(int32_t i) {
  std::vector<std::string> bytes;
  if (!compareReplaced_) return bytes;
  for (const auto& [number, slot] : file_.replaced) {
    uint8_t flags = 0;
    if (number == i && DecodeAt(slot, i, flags))
      bytes.emplace_back(reinterpret_cast<const char*>(work_.buffer.data()), work_.count);
  }
  return bytes;
}

bool FileAssembler::DecodeSection(int32_t i, uint8_t& result) {
  const std::vector<std::string> earlier = ReplacedBytes(i);
  work_.count = 0;
  const SectionSlot* slot = file_.Slot(i);
  uint8_t flags = 0;
  const bool found = slot != nullptr && slot->message != 0 && DecodeAt(*slot, i, flags);
  if (!found) {
    TakeChecked(true, result);
    result |= decode_flag::kMissing;
    if (unattended_) {
      session_.log.WriteLog(Fill("    Секция %d отсутствует.", std::to_string(i)));
      return true;
    }
    return session_.dialogs->AskYesNo(
        Fill("Секция %d отсутствует. Продолжить?", std::to_string(i)));
  }
  // Two different texts under one section number: which one belongs to the file is not
  // known.
  for (const std::string& bytes : earlier)
    if (bytes.size() != work_.count ||
        !std::equal(bytes.begin(), bytes.end(), reinterpret_cast<const char*>(work_.buffer.data())))
      flags |= decode_flag::kSectionCrc;
  const CheckedSection section{i, slot->message, flags};
  if (HasSumLines(file_.kind)) {
    work_.checks.Add(section, work_.sectionText, {work_.buffer.data(), work_.count}, work_.claims);
  } else {
    Finish(section, result);
  }
  return true;
}

void FileAssembler::TakeChecked(bool all, uint8_t& result) {
  for (const CheckedSection& section : work_.checks.Take(all)) Finish(section, result);
}

void FileAssembler::Finish(const CheckedSection& section, uint8_t& result) {
  if (section.flags != 0) {
    result |= section.flags;
    ReportFlags(section.flags, section.number);
    faultyMessages_.push_back(section.message);
  } else {
    cleanMessages_.push_back(section.message);
  }
}

void FileAssembler::CheckStatedFile(uint8_t& result) {
  uint8_t flags = 0;
  if (!file_.statedMd5.empty()) {
    const Md5::Digest digest = md5_.Finish();
    if (std::string(digest.begin(), digest.end()) != file_.statedMd5)
      flags |= decode_flag::kFileCrc;
  }
  if (file_.statedSize >= 0 && written_ != static_cast<uint64_t>(file_.statedSize))
    flags |= decode_flag::kFileLength;
  if (flags == 0) return;
  result |= flags;
  ReportFlags(flags, file_.total);
  // Which section is wrong is not known: none of its messages counts as clean.
  cleanMessages_.clear();
}

bool FileAssembler::Output(const unsigned char* data, size_t size) {
  constexpr size_t kOutputChunk = 1 << 20;
  if (!file_.statedMd5.empty()) md5_.Update(data, size);
  written_ += size;
  pendingOutput_.insert(pendingOutput_.end(), data, data + size);
  return pendingOutput_.size() < kOutputChunk ? !outputFailed_ : FlushOutput();
}

bool FileAssembler::FlushOutput() {
  if (!pendingOutput_.empty() && !out_.Write(pendingOutput_.data(), pendingOutput_.size()))
    outputFailed_ = true;
  pendingOutput_.clear();
  return !outputFailed_;
}

uint8_t FileAssembler::RunSectionDecoder(int32_t number) {
  switch (file_.kind) {
    case EncodingKind::Uu:
    case EncodingKind::Xx:
    case EncodingKind::MimeBase64:
      return DecodeEncodedSection(base_, work_, file_.kind, file_.total, number);
    case EncodingKind::OwnText: return DecodeOwnTextSection(base_, work_);
    case EncodingKind::FastPostText: return DecodeFastPostTextSection(base_, work_);
    case EncodingKind::Crack: return DecodeCrackBlock(base_, work_);
    default: return decode_flag::kTextError;
  }
}

void FileAssembler::ReportFlags(uint8_t flags, int32_t number) const {
  for (const FlagMessage& message : kFlagMessages) {
    if ((flags & message.flag) == 0) continue;
    const std::string text = Fill(message.text, std::to_string(number));
    // Unattended, the status line says " - Ошибка"; the log says why.
    if (unattended_)
      session_.log.WriteLog("    " + text);
    else
      session_.dialogs->ShowError(text);
  }
}

std::vector<int32_t> FileAssembler::CleanMessages() {
  std::sort(cleanMessages_.begin(), cleanMessages_.end());
  cleanMessages_.erase(std::unique(cleanMessages_.begin(), cleanMessages_.end()),
                       cleanMessages_.end());
  std::sort(faultyMessages_.begin(), faultyMessages_.end());
  std::vector<int32_t> clean;
  std::set_difference(cleanMessages_.begin(), cleanMessages_.end(), faultyMessages_.begin(),
                      faultyMessages_.end(), std::back_inserter(clean));
  return clean;
}

}  // namespace

FileDecodeOutcome DecodeFoundFile(DecodeSession& session, MessageBase& base, FileDecodeWork& work,
                                  const FoundFile& file, std::string_view directory) {
  return FileAssembler(session, base, work, file).Run(directory);
}

void DeleteDecodedMessages(MessageBase& base, const std::vector<int32_t>& messages) {
  for (int32_t message : messages) {
    base.SeekFrom(message);
    if (!base.Found() || base.MessageNumber() != message) continue;
    base.LoadHeader();
    base.DeleteMessage();
  }
}

}  // namespace vm
