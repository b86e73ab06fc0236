#include "decode/file_info.h"

#include "config/area_table.h"
#include "config/settings.h"
#include "decode/found_file.h"
#include "decode/posting_form.h"
#include "msgbase/area_id.h"
#include "msgbase/message_base.h"
#include "platform/host_path.h"
#include "text/cp866.h"
#include "text/net_address.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr size_t kNameWidth = 22;

std::string RightAligned(std::string text, size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

// A daily limit of sections, or "неограничено" when there is none.
std::string DailyLimit(uint32_t limit, uint32_t value) {
  return limit == kUnlimited ? Cp866("неограничено") : RightAligned(std::to_string(value), 12);
}

std::string AddressAfter(std::string_view name, const NetAddress& address, bool show) {
  std::string line = FieldPad(kNameWidth, 0, name);
  if (show && !address.IsEmpty()) line.append("  ").append(FormatNetAddress(address));
  return line;
}

std::string MissingSections(const FoundFile& file) {
  if (file.present >= file.total) return Cp866("Все секции присутствуют");
  // The "c" of "cекции" is a Latin letter in the line users know.
  std::string line = Cp866("Отсутствуют cекции:");
  for (int32_t n = 1; n <= file.total; ++n) {
    const SectionSlot* slot = file.Slot(n);
    if (slot == nullptr || slot->message == 0) line.append(" ").append(std::to_string(n));
  }
  return line;
}

std::string CrackDescription(const FoundFile& file) {
  const size_t open = file.key.find('\x11');
  const size_t close = open == std::string::npos ? open : file.key.find('\x10', open + 1);
  std::string title =
      open == std::string::npos
          ? std::string()
          : file.key.substr(open + 1, close == std::string::npos ? close : close - open - 1);
  return Cp866("Описание: ") + title;
}

int32_t LowestPresentMessage(const FoundFile& file) {
  for (const SectionSlot& slot : file.sections)
    if (slot.message != 0) return slot.message;
  return 0;
}

}  // namespace

std::string InfoAreaLine(const AreaEntry* area, std::string_view textFilePath) {
  if (area == nullptr) {
    const PathParts parts = SplitPath(textFilePath);
    return Cp866("Файл ") + UpCaseCp866(parts.name + parts.ext);
  }
  return Cp866("Конференция: ") + area->displayName + " (" + area->tag + ")";
}

FileInfoText FoundFileInfo(MessageBase& base, const FoundFile& file, const AreaEntry* area,
                           std::string_view textFilePath) {
  FileInfoText info;
  info.title = file.name;
  base.SeekFrom(LowestPresentMessage(file));
  if (base.Found()) base.LoadHeader();
  const bool found = base.Found();
  NetAddress from, to;
  if (found) {
    base.GetOrigAddress(from);
    base.GetDestAddress(to);
  }
  info.lines[0] = InfoAreaLine(area, textFilePath);
  info.lines[1] = Cp866("От кого: ") + AddressAfter(found ? base.FromName() : "", from, true);
  info.lines[2] = Cp866("Кому:    ") + AddressAfter(found ? base.ToName() : "", to,
                                                    area != nullptr && area->netmail != 0);
  info.lines[3] = Cp866("Тема:    ") + file.subject;
  std::string type = Cp866("Тип:     ") + EncodingLabel(file.kind);
  if (file.kind == EncodingKind::OwnText) type += " (Veldmark)";
  if (file.kind == EncodingKind::FastPostText) type += " (FastPost)";
  type += PostingFormSuffix(file.form);
  info.lines[4] = type;
  info.lines[5] = file.kind == EncodingKind::Crack ? CrackDescription(file) : MissingSections(file);
  return info;
}

FileInfoText AreaInfo(const AreaEntry& area) {
  FileInfoText info;
  info.title = Cp866("Информация о конференции");
  info.lines[0] = InfoAreaLine(&area, {});
  // The path without the board number of a kind that has boards.
  const std::optional<AreaId> id = AreaId::Parse(area.areaId);
  info.lines[1] = Cp866("Тип: ") + (id ? Cp866(id->Row().name) : std::string());
  info.lines[2] = Cp866("Путь: ") + (id ? id->location : AreaLocation(area.areaId));
  info.lines[3] = Cp866("Секций в сутки (из .ctl):           ") +
                  DailyLimit(area.SectionsPerDay, area.SectionsPerDay);
  info.lines[4] = Cp866("Секций в сутки (возможные сегодня): ") +
                  DailyLimit(area.SectionsPerDay, area.SectionsLeftToday);
  return info;
}

FileInfoText TextFileInfo(std::string_view textFilePath, int foundFiles) {
  FileInfoText info;
  info.title = Cp866("Информация о конференции");
  info.lines[0] = InfoAreaLine(nullptr, textFilePath);
  info.lines[1] = Cp866("Тип: ") + Cp866(RowOf(BaseKind::TextFile).name);
  info.lines[2] = Cp866("Путь: ") + std::string(textFilePath);
  info.lines[3] =
      Cp866("Всего кодированных сообщений:       ") + RightAligned(std::to_string(foundFiles), 12);
  return info;
}

int64_t BytesPerSection(const Settings& settings, EncodeFlags flags) {
  int64_t perLine = 60;
  if (flags & (kEncodeUu | kEncodeXx)) perLine = 45;
  if (flags & kEncodeMime) perLine = 57;
  return static_cast<int64_t>(settings.LINESPERSEC) * perLine;
}

FileInfoText DirectoryInfo(const DirectoryInfoRequest& request, const Settings& settings) {
  FileInfoText info;
  info.title = request.selectedCount > 0
                   ? std::to_string(request.selectedCount) + Cp866(" файла(ов)")
                   : request.fileName;
  const uint32_t limit = request.area != nullptr ? request.area->SectionsPerDay : kUnlimited;
  const int64_t perSection = std::max<int64_t>(1, BytesPerSection(settings, request.flags));
  const int64_t sections = (request.size + perSection - 1) / perSection;
  const int64_t days = (sections + limit - 1) / limit;
  info.lines[0] = request.area != nullptr ? InfoAreaLine(request.area, {}) : std::string();
  info.lines[1] = Cp866("Число строк в секции:               ") +
                  RightAligned(std::to_string(settings.LINESPERSEC), 12);
  info.lines[2] = Cp866("Число секций в сутки:               ") + DailyLimit(limit, limit);
  info.lines[3] = Cp866("Размер:                        ") +
                  RightAligned(std::to_string(request.size), 12) + Cp866(" байт");
  info.lines[4] =
      Cp866("Число секций:                         ") + RightAligned(std::to_string(sections), 10);
  info.lines[5] = Cp866("Число суток для посылки:                ") +
                  (days == 0 ? Cp866("сразу же") : RightAligned(std::to_string(days), 8));
  return info;
}

}  // namespace vm
