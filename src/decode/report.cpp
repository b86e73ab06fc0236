#include "decode/report.h"

#include "config/area_table.h"
#include "config/settings.h"
#include "platform/console.h"
#include "platform/run_log.h"
#include "text/cp866.h"
#include "text/date_text.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr int64_t kLargestPlainSize = 9999999;
constexpr int kReportSeparatorPairs = 38;
constexpr size_t kDescriptionIndent = 33;

}  // namespace

void WriteWholeLine(Console& console, std::string_view text) {
  console.WriteProgress("");
  console.WriteLine(text);
}

std::string FormatSize(int64_t bytes) {
  if (bytes > kLargestPlainSize) return std::to_string(bytes / 1024) + "K";
  return std::to_string(bytes);
}

std::string BoxSeparator(int pairs) {
  std::string line = "=";
  for (int i = 0; i < pairs; ++i) line += "\xC4\xCD";
  return line + "\xC4=";
}

std::vector<std::string> ReportFileLines(std::string_view name, int32_t present, int32_t total,
                                         int64_t size,
                                         const std::vector<std::string>& description) {
  std::string first =
      FieldPad(14, 2, name) +
      FieldPad(9, 1, "[" + std::to_string(present) + "/" + std::to_string(total) + "]") +
      FieldPad(10, 1, FormatSize(size));
  if (!description.empty()) first += description.front();
  std::vector<std::string> lines{std::move(first)};
  for (size_t i = 1; i < description.size(); ++i)
    lines.push_back(std::string(kDescriptionIndent, ' ') + description[i]);
  return lines;
}

NewFilesReport::~NewFilesReport() {
  // A run that stopped half-way posts no half report.
  if (base_) CloseMessageArea(base_);
}

void NewFilesReport::ShowFile() {
  if (!started_) {
    started_ = true;
    if (!settings_.REPORTAREA.empty()) StartMessage();
    rootList_.Open(settings_.ROOT, settings_.FILESBBS);
    rootList_.WriteLine("; " + std::string(kProductLine));
    rootList_.WriteLine(Cp866("; Отчет создан ") + DateTextOf(now_) + Cp866(" в ") +
                        TimeWithSecondsTextOf(now_));
    rootList_.WriteLine("");
  }
  if (!areaShown_ && !areaHeader_.empty()) {
    areaShown_ = true;
    rootList_.WriteLine("; " + areaHeader_);
    Put("");
    Put(Cp866("Область ") + areaHeader_);
    Put("");
  }
}

void NewFilesReport::StartMessage() {
  const DateTime& now = now_;
  const int index = areas_.FindArea(settings_.REPORTAREA);
  if (index == 0) return;
  const AreaEntry& area = areas_.At(index);
  OpenFailure failure;
  if (!OpenOrCreateMessageArea(area.areaId, base_, &failure)) {
    log_.WriteLog(Cp866("Нет доступа к ") + area.tag + " - " + area.areaId +
                  DescribeOpenFailure(failure));
    base_.reset();
    failed_ = true;
    return;
  }
  MessageBase& base = *base_;
  base.StartNewMessage();
  base.SetMailKind(MailKind::Local);
  base.SetFromName(kProductLine);
  base.SetToName(settings_.NAME);
  base.SetDateText(DateTextOf(now));
  base.SetTimeText(TimeWithSecondsTextOf(now));
  base.SetOrigAddress(settings_.address);
  base.SetDestAddress(settings_.address);
  base.SetLocal(true);
  base.SetReceived(true);
  base.SetSubject(Cp866("Отчет о новых файлах"));
  base.PutKludge("\x01MSGID: " + settings_.ADDRESS + " " + serials_.MsgIdSerial());
  base.PutKludge("\x01PID: " + std::string(kProductLine));
  Put(Cp866("Отчет создан ") + DateTextOf(now) + Cp866(" в ") + TimeWithSecondsTextOf(now));
  Put("");
}

void NewFilesReport::Put(std::string_view line) {
  if (base_) base_->PutLine(line);
}

void NewFilesReport::AreaHeader(std::string_view areaName, std::string_view scanLine, int found) {
  const std::string count = Cp866(" - найдено ") + std::to_string(found) + Cp866(" файла(ов).");
  areaHeader_ = std::string(areaName) + count;
  areaShown_ = false;
  WriteWholeLine(console_, std::string(scanLine) + count);
}

void NewFilesReport::ListFile(std::string_view name, const std::vector<std::string>& description) {
  ShowFile();
  rootList_.WriteEntry(name, description, settings_.ALLFIXFILESBBS);
}

void NewFilesReport::ReportFile(std::string_view name, int32_t present, int32_t total, int64_t size,
                                const std::vector<std::string>& description) {
  ShowFile();
  for (const std::string& line : ReportFileLines(name, present, total, size, description))
    Put(line);
}

void NewFilesReport::CountFile(int64_t size) {
  ShowFile();
  totalSize_ += size;
  ++fileCount_;
}

void NewFilesReport::AreaEnd() {
  if (areaShown_) {
    Put("");
    Put(BoxSeparator(kReportSeparatorPairs));
  }
  areaHeader_.clear();
  areaShown_ = false;
}

void NewFilesReport::End() {
  if (!started_) return;
  if (base_) {
    Put("");
    Put(Cp866(" Всего ") + FormatSize(totalSize_) + Cp866(" байт в ") + std::to_string(fileCount_) +
        Cp866(" файлах "));
    Put("");
    Put("--- " + std::string(kProductLine) + " Win32b ");
    Put(" * Origin: Default Origin (" + settings_.ADDRESS + ")");
    if (base_->WriteMessage() != 0) {
      log_.WriteLog(Cp866("Не могу записать отчет в ") + settings_.REPORTAREA);
      failed_ = true;
    }
    CloseMessageArea(base_);
  }
  rootList_.WriteLine("");
  rootList_.Close();
}

}  // namespace vm
