#include "decode/area_scan.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "config/area_table.h"
#include "config/settings.h"
#include "decode/recogniser.h"
#include "msgbase/message_base.h"
#include "platform/console.h"
#include "platform/run_log.h"
#include "text/checksums.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

// Keys are polled every this many lines: often enough to stop inside a long message, rarely
// enough that the poll costs nothing against the lines.
constexpr int32_t kKeyPollLines = 64;

std::string Hex8(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", value);
  return text;
}

// The address in " * Origin: ... (2:5020/9999)": between the last "(" and the last ")".
std::optional<NetAddress> OriginAddress(std::string_view line) {
  size_t open = line.rfind('(');
  size_t close = line.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open)
    return std::nullopt;
  return ParseNetAddress(line.substr(open + 1, close - open - 1), NetAddress{});
}

bool IsOriginLine(std::string_view line) {
  static constexpr std::string_view kOrigin = " * ORIGIN:";
  return line.size() >= kOrigin.size() && line[0] == ' ' &&
         UpCaseCp866(line.substr(0, kOrigin.size())) == kOrigin;
}

class AreaScanner {
 public:
  AreaScanner(DecodeSession& session, MessageBase& base, AreaEntry& area,
              FoundFileCatalogue& catalogue, const ScanOptions& options)
      : session_(session),
        base_(base),
        area_(area),
        catalogue_(catalogue),
        options_(options),
        unattended_(session.Unattended()),
        recogniser_(base, session.state,
                    RecogniserSettings{session.settings.HEADERLINES, session.settings.EXTRACTXCK,
                                       !session.Unattended(), session.settings.LONGFILENAMES}) {}

  void Run();

 private:
  void Log(std::string_view text) const { session_.log.WriteLog(text); }
  void Progress() const {
    session_.console.WriteProgress(options_.scanLine + std::to_string(counter_) + ".." +
                                   std::to_string(totalMessages_));
  }
  void SeekFirstMessage();
  // Logs the loaded message's file when it is damaged, once per file and run.
  void ReportDamagedMessage();
  void ScanMessage();
  void HandleKludge(std::string_view line);
  void HandleOriginLine(std::string_view line);
  // false when the catalogue is full and the rest of the message is to be skipped.
  bool RecordSection(const SectionHeader& header);
  void StoreResumePoint();

  DecodeSession& session_;
  MessageBase& base_;
  AreaEntry& area_;
  FoundFileCatalogue& catalogue_;
  const ScanOptions& options_;
  const bool unattended_;
  SectionRecogniser recogniser_;

  int32_t totalMessages_ = 0;
  int32_t counter_ = 1;
  int32_t currentMessage_ = 0;
  std::string subject_;
  NetAddress origin_;
  NetAddress destination_;
  std::vector<int> entriesInMessage_;        // catalogue entries with a section in this message
  std::optional<NetAddress> messageOrigin_;  // the address of the message's origin line
  int32_t firstUnsettled_ = 0;  // the first message that may have been read half-written
  bool fullReported_ = false;
};

void AreaScanner::Run() {
  if (unattended_) Log(Cp866("Начато сканирование ") + area_.tag + " - " + area_.areaId);
  session_.state.scanInterrupted = true;
  // A *.MSG message that names its zone nowhere comes from the node's own zone.
  if (session_.settings.address.zone != 0) base_.SetDefaultZone(session_.settings.address.zone);
  if (options_.startMessage <= 1 || catalogue_.Count() == 0) catalogue_.StartFresh();

  totalMessages_ = base_.ActiveCount();
  if (!unattended_) session_.dialogs->BeginProgress(Cp866("Сканирование области"), totalMessages_);
  counter_ = 1;
  SeekFirstMessage();
  if (unattended_) Progress();

  const int32_t step = totalMessages_ > 100 ? 10 : totalMessages_ > 10 ? 4 : 1;
  while (base_.Found()) {
    ++counter_;
    if (session_.state.abortPending) {
      if (unattended_) {
        Log(Cp866("Сканирование прервано - пользователь отказался"));
        break;
      }
      if (session_.dialogs->AskYesNo(Cp866("Прервать сканирование области?"))) break;
      session_.state.abortPending = false;
    }
    base_.LoadHeader();
    ReportDamagedMessage();
    base_.StartReading();
    subject_ = base_.Subject();
    recogniser_.StartMessage(subject_);
    session_.state.MessageLineCounter = 0;
    currentMessage_ = base_.MessageNumber();
    if (unattended_ && counter_ % step == 0) Progress();
    if (!base_.IsDeleted()) ScanMessage();
    if (firstUnsettled_ == 0 && !base_.MessageSettled()) firstUnsettled_ = currentMessage_;
    if (!unattended_) session_.dialogs->StepProgress();
    base_.SeekNext();
  }

  if (unattended_) {
    Progress();
    StoreResumePoint();
  }
  for (int i = 2; i <= catalogue_.Count(); ++i) {
    FoundFile& file = catalogue_.At(i);
    if (file.total == 0) file.total = HighestPresentSection(file);
  }
  if (!unattended_) session_.dialogs->EndProgress();
  if (session_.settings.SORTAREAFILES) catalogue_.SortCatalogue();
  if (!session_.state.abortPending) {
    session_.state.scanInterrupted = false;
    if (unattended_)
      Log(Cp866("Сканирование закончено. Найдено ") + std::to_string(catalogue_.FileCount()));
  }
}

void AreaScanner::SeekFirstMessage() {
  if (!unattended_ || options_.scanAll) {
    base_.SeekFrom(options_.startMessage);
    return;
  }
  const auto resume = static_cast<int32_t>(area_.ResumeMessage);
  base_.SeekFrom(resume);
  Log("  Seek " + std::to_string(resume));
  if (!base_.Found()) {
    base_.SeekFrom(1);
    return;
  }
  base_.LoadHeader();
  const int32_t crc = MessageCrc(base_);
  // A changed message at the resume point means the base was packed or renumbered.
  if (crc != static_cast<int32_t>(area_.ResumeCheck)) base_.SeekFrom(1);
  Log("  Areas CRC = " + Hex8(area_.ResumeCheck) +
      "  Msg CRC = " + Hex8(static_cast<uint32_t>(crc)));
}

void AreaScanner::ReportDamagedMessage() {
  std::string file = base_.DamagedMessageFile();
  if (file.empty() || !session_.state.damagedMessagesLogged.insert(file).second) return;
  Log(Cp866("Файл ") + file + Cp866(" повреждён или недоступен - сообщение пропущено"));
}

void AreaScanner::ScanMessage() {
  base_.GetDestAddress(destination_);
  base_.GetOrigAddress(origin_);
  entriesInMessage_.clear();
  messageOrigin_.reset();
  const int32_t headerLines = session_.settings.HEADERLINES;
  for (int32_t lines = 0;; ++lines) {
    if (lines % kKeyPollLines == 0 && session_.AbortKeyPressed()) {
      session_.state.abortPending = true;
      return;
    }
    const int32_t textPos = base_.TextPosition();
    // Valid until the next read: the recogniser copies what it keeps before it reads on.
    const std::string_view line = base_.NextLineView(255);
    if (!line.empty() && line[0] == '\x01') {
      HandleKludge(line);
    } else if (IsOriginLine(line)) {
      HandleOriginLine(line);
    } else {
      const SectionHeader header = recogniser_.RecogniseSectionHeader(line, textPos);
      if (header.IsHeader() && !RecordSection(header)) return;
    }
    ++session_.state.MessageLineCounter;
    if (base_.TextEnded() || session_.state.MessageLineCounter >= headerLines) break;
  }
  // Parts that other posters number in the subject only ("NAME (i/n)"), without a header.
  if (entriesInMessage_.empty()) {
    const SectionHeader header = recogniser_.RecogniseNumberedBody();
    if (header.IsHeader() && RecordSection(header) && messageOrigin_)
      catalogue_.At(entriesInMessage_.back()).fromAddress = *messageOrigin_;
  }
}

void AreaScanner::HandleKludge(std::string_view line) {
  const std::string up = UpCaseCp866(line);
  const std::string_view rest = std::string_view(up).substr(std::min<size_t>(6, up.size()));
  if (up.compare(1, 4, "TOPT") == 0) {
    NetAddress address;
    base_.GetDestAddress(address);
    if (auto point = ParseWord16(rest)) {
      address.point = *point;
      destination_ = address;
    }
  } else if (up.compare(1, 4, "FMPT") == 0) {
    NetAddress address;
    base_.GetOrigAddress(address);
    if (auto point = ParseWord16(rest)) {
      address.point = *point;
      origin_ = address;
    }
  }
}

void AreaScanner::HandleOriginLine(std::string_view line) {
  const auto address = OriginAddress(line);
  if (!address) return;
  messageOrigin_ = address;
  for (int index : entriesInMessage_) catalogue_.At(index).fromAddress = *address;
}

bool AreaScanner::RecordSection(const SectionHeader& header) {
  const int index =
      catalogue_.RecordSection(header, currentMessage_, MessageCrc(base_), subject_,
                               base_.DateText(), base_.IsSent(), origin_, destination_);
  if (index != 0) {
    if (std::find(entriesInMessage_.begin(), entriesInMessage_.end(), index) ==
        entriesInMessage_.end())
      entriesInMessage_.push_back(index);
    return true;
  }
  // The catalogue is full: said once per scan; the scan goes on with the next message so that
  // sections of files already listed are still found.
  if (!fullReported_) {
    fullReported_ = true;
    const std::string message = Cp866("Слишком много файлов в области");
    if (unattended_) {
      session_.console.WriteLine("");
      session_.console.WriteLine(message);
      Log(Cp866("Сканирование прервано - слишком много файлов в области"));
    } else {
      session_.dialogs->ShowError(message);
    }
  }
  return false;
}

void AreaScanner::StoreResumePoint() {
  // Resume at the first message that holds a section of a file still incomplete, so that its
  // sections are read again when the rest arrives; else at the last message read. Never past
  // a message that another program may still have been writing when it was read.
  int32_t m = currentMessage_;
  if (firstUnsettled_ != 0 && firstUnsettled_ < m) m = firstUnsettled_;
  for (int i = 2; i <= catalogue_.Count(); ++i) {
    const FoundFile& file = catalogue_.At(i);
    if (file.Complete()) continue;
    for (const SectionSlot& slot : file.sections)
      if (slot.message >= 1 && slot.message < m) m = slot.message;
  }
  area_.ResumeMessage = static_cast<uint32_t>(m);
  base_.SeekFrom(m);
  if (base_.Found()) {
    Log(Cp866("Последнее сообщение = ") + std::to_string(m));
    base_.LoadHeader();
    area_.ResumeCheck = static_cast<uint32_t>(MessageCrc(base_));
  } else {
    Log(Cp866("Последнее сообщение (") + std::to_string(m) + Cp866(") не найдено"));
  }
}

}  // namespace

int32_t MessageCrc(MessageBase& base) {
  const std::string all =
      base.FromName() + base.ToName() + base.Subject() + base.DateText() + base.TimeText();
  return StrCrc32(CutTo(all, kMaxText));
}

void ScanArea(DecodeSession& session, MessageBase& base, AreaEntry& area,
              FoundFileCatalogue& catalogue, const ScanOptions& options) {
  AreaScanner(session, base, area, catalogue, options).Run();
}

}  // namespace vm
