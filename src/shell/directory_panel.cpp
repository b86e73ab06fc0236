#include "shell/directory_panel.h"

#include <algorithm>
#include <ctime>

#include "platform/drive_walk.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "shell/panel_colours.h"
#include "shell/panel_frame.h"
#include "text/cp866.h"
#include "text/date_text.h"
#include "text/text_helpers.h"
#include "tui/frame.h"

namespace vm::shell {
namespace {

using namespace tui;

// Columns of the rules at 80 x 25; a wider panel widens the name column.
constexpr int kNameRule = 13;
constexpr int kSizeRule = 23;
constexpr int kDateRule = 32;
constexpr int kPanelWidth = 40;
constexpr int64_t kLargestShownSize = 99'999'999;

std::string RightAligned(std::string text, size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

int Extra(const Rect& panel) { return std::max(0, panel.width - kPanelWidth); }

}  // namespace

std::string DirectoryNameColumn(const DirectoryEntry& entry, int extra) {
  const size_t baseWidth = static_cast<size_t>(8 + extra);
  if (entry.name == "..") return FieldPad(baseWidth + 4, 0, "..");
  NameParts parts = SplitName(entry.name);
  if (entry.isDirectory) parts = {UpCaseCp866(parts.base), UpCaseCp866(parts.ext)};
  return NameColumn(parts, baseWidth, 1);
}

std::string DirectorySizeColumn(const DirectoryEntry& entry) {
  static const std::string kDirectory = Cp866("Каталог");
  if (entry.name == "..") return "\x11" + kDirectory + "\x10";
  if (entry.isDirectory) return "\x10" + kDirectory + "\x11";
  if (entry.size > kLargestShownSize)
    return RightAligned(std::to_string(entry.size / 1024) + "KB", 9);
  return RightAligned(std::to_string(entry.size), 9);
}

std::string PathInDirectory(std::string_view directory, std::string_view name) {
  return std::string(directory == "/" ? std::string_view() : directory) + "/" + std::string(name);
}

std::string DirectoryPanel::PathOf(std::string_view name) const {
  return PathInDirectory(directory_, name);
}

bool DirectoryPanel::Read(bool showHidden) {
  const std::string& dir = directory_;
  // "/" and the mapped drives' roots have no "..".
  const bool root = dir == "/" || dir.empty() || dir == ProgramPathFromHost(DriveOf(dir).hostRoot);
  SetList(ReadDirectoryList(dir, showHidden, root));
  return !list_.tooMany;
}

void DirectoryPanel::SetList(DirectoryListing list) {
  list_ = std::move(list);
  selectedCount_ = 0;
  selectedBytes_ = 0;
  cursor_.SetCount(static_cast<int>(list_.entries.size()));
}

void DirectoryPanel::Layout(const Rect& panel) {
  local = panel;
  cursor_.SetRows(ListRows(panel));
}

const DirectoryEntry* DirectoryPanel::CursorEntry() const {
  if (cursor_.cursor < 1 || cursor_.cursor > cursor_.count) return nullptr;
  return &list_.entries[static_cast<size_t>(cursor_.cursor - 1)];
}

bool DirectoryPanel::MoveToName(std::string_view name) {
  for (size_t i = 0; i < list_.entries.size(); ++i)
    if (list_.entries[i].name == name) {
      cursor_.MoveTo(static_cast<int>(i) + 1);
      return true;
    }
  return false;
}

void DirectoryPanel::SetSelected(DirectoryEntry& entry, bool selected) {
  if (entry.isDirectory || entry.selected == selected) return;
  entry.selected = selected;
  selectedCount_ += selected ? 1 : -1;
  selectedBytes_ += selected ? entry.size : -entry.size;
}

void DirectoryPanel::ToggleCursor() {
  if (cursor_.cursor < 1 || cursor_.cursor > cursor_.count) return;
  DirectoryEntry& entry = list_.entries[static_cast<size_t>(cursor_.cursor - 1)];
  SetSelected(entry, !entry.selected);
  cursor_.Step(1);
}

void DirectoryPanel::Invert() {
  for (DirectoryEntry& entry : list_.entries) SetSelected(entry, !entry.selected);
}

int DirectoryPanel::SelectByMask(std::string_view mask, bool select) {
  int changed = 0;
  for (DirectoryEntry& entry : list_.entries)
    if (!entry.isDirectory && entry.selected != select && MatchesFileMask(entry.name, mask)) {
      SetSelected(entry, select);
      ++changed;
    }
  return changed;
}

std::vector<const DirectoryEntry*> DirectoryPanel::Targets() const {
  std::vector<const DirectoryEntry*> targets;
  for (const DirectoryEntry& entry : list_.entries)
    if (entry.selected) targets.push_back(&entry);
  if (targets.empty() && CursorEntry() != nullptr && !CursorEntry()->isDirectory)
    targets.push_back(CursorEntry());
  return targets;
}

int DirectoryPanel::FirstListRow() const { return kListTop; }

std::string DirectoryPanel::InfoText() const {
  if (selectedCount_ > 0)
    return std::to_string(selectedBytes_) + Cp866(" байт в ") + std::to_string(selectedCount_) +
           Cp866(" выбранных файлах");
  const DirectoryEntry* entry = CursorEntry();
  // ".." has no name to show: an empty directory leaves the line blank.
  if (entry == nullptr || entry->name == "..") return {};
  std::string name;
  if (entry->isDirectory)
    name = UpCaseCp866(entry->name);
  else
    for (unsigned char c : entry->name) name.push_back(static_cast<char>(LowCaseCp866(c)));
  // The whole name, which the list may have cut; one longer than the line is marked as cut.
  const size_t width = static_cast<size_t>(std::max(1, local.width - 2));
  if (name.size() > width) {
    name.resize(width);
    name.back() = '}';
  }
  return name;
}

void DirectoryPanel::Draw(CellBuffer& out, const Palette& palette, Point origin, bool focused) {
  const Rect panel = Placed(origin);
  const std::string_view searchText = SearchText(focused);
  const int extra = Extra(panel);
  DrawPanelFrame(out, palette, panel, {},
                 {kNameRule + extra, kSizeRule + extra, kDateRule + extra});
  out.PutText(panel.x + 5, panel.y + 1, Cp866("Имя"), palette[panel_pal::kTitle]);
  out.PutText(panel.x + 15 + extra, panel.y + 1, Cp866("Размер"), palette[panel_pal::kTitle]);
  out.PutText(panel.x + 26 + extra, panel.y + 1, Cp866("Дата"), palette[panel_pal::kTitle]);
  out.PutText(panel.x + 33 + extra, panel.y + 1, Cp866("Время"), palette[panel_pal::kTitle]);

  for (int row = 0; row < cursor_.rows; ++row) {
    const int index = cursor_.top + row;
    if (index > cursor_.count) break;
    const DirectoryEntry& entry = list_.entries[static_cast<size_t>(index - 1)];
    const bool onCursor = focused && index == cursor_.cursor;
    const int colour = entry.selected
                           ? (onCursor ? panel_pal::kCursorSelected : panel_pal::kSelected)
                           : (onCursor ? panel_pal::kCursor : panel_pal::kFile);
    const uint8_t attr = palette[colour];
    const int y = panel.y + kListTop + row;
    const uint8_t ruleAttr = onCursor ? attr : palette[panel_pal::kFrame];
    out.Fill(Rect{panel.x + 1, y, panel.width - 2, 1}, ' ', attr);
    out.PutText(panel.x + 1, y, DirectoryNameColumn(entry, extra), attr);
    out.PutText(panel.x + kNameRule + extra + 1, y, DirectorySizeColumn(entry), attr);
    if (entry.name != "..") {
      std::tm stamp{};
      const std::time_t when = static_cast<std::time_t>(entry.modified);
      localtime_r(&when, &stamp);
      out.PutText(panel.x + kSizeRule + extra + 1, y,
                  TwoDigits(stamp.tm_mday) + "-" + TwoDigits(stamp.tm_mon + 1) + "-" +
                      TwoDigits(stamp.tm_year % 100),
                  attr);
      out.PutText(panel.x + kDateRule + extra + 1, y,
                  TwoDigits(stamp.tm_hour) + ":" + TwoDigits(stamp.tm_min), attr);
    }
    for (int column : {kNameRule, kSizeRule, kDateRule})
      out.Put(panel.x + column + extra, y, glyph::kSingleVertical, ruleAttr);
  }
  if (!searchText.empty()) {
    DrawInfoLine(out, palette, panel, searchText);
    out.SetCursor(panel.x + 1 + static_cast<int>(searchText.size()), panel.y + InfoRow(panel));
  } else {
    DrawInfoLine(out, palette, panel, InfoText());
  }
}

}  // namespace vm::shell
