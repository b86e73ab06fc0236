#include "shell/area_panel.h"

#include <algorithm>

#include "config/area_table.h"
#include "config/settings.h"
#include "decode/found_file.h"
#include "decode/own_address.h"
#include "platform/file_system.h"
#include "shell/directory_list.h"
#include "shell/panel_colours.h"
#include "shell/panel_frame.h"
#include "state/history.h"
#include "text/cp866.h"
#include "text/text_helpers.h"
#include "tui/frame.h"

namespace vm::shell {
namespace {

using namespace tui;

constexpr int kPanelWidth = 40;
constexpr int kNameRule = 13;
constexpr int kMarkRule = 16;
constexpr int kBarCells = 20;

int Extra(const Rect& panel) { return std::max(0, panel.width - kPanelWidth); }

std::string Lower(std::string_view text) {
  std::string lower;
  for (unsigned char c : text) lower.push_back(static_cast<char>(LowCaseCp866(c)));
  return lower;
}

// A crack block's title: its key between the first byte 17 and the next byte 16.
std::string CrackTitle(const FoundFile& file) {
  const size_t open = file.key.find('\x11');
  if (open == std::string::npos) return {};
  const size_t close = file.key.find('\x10', open + 1);
  return file.key.substr(open + 1,
                         close == std::string::npos ? std::string::npos : close - open - 1);
}

}  // namespace

std::string ProgressBarText(int32_t present, int32_t total) {
  std::string bar = "[";
  for (int i = 1; i <= kBarCells; ++i)
    bar.push_back(total > 0 && i <= present * kBarCells / total ? '\xFE' : '\xFA');
  bar += "]";
  const int percent = total > 0 ? (present * 200 + total) / (2 * total) : 0;
  const std::string text = std::to_string(percent) + "%";
  bar.replace(static_cast<size_t>((kBarCells - static_cast<int>(text.size()) + 5) / 2), text.size(),
              text);
  return bar;
}

std::string FoundFileRowText(const FoundFile& file, bool inHistory, bool own, int extra) {
  const NameParts parts = SplitName(Lower(file.name));
  std::string row = NameColumn(parts, static_cast<size_t>(9 + extra), 0);
  row += ' ';  // the rule's column
  row += inHistory ? '\xFB' : ' ';
  const bool allPosted = file.total > 0 && file.sentSections >= file.total;
  row += allPosted ? '\x1E' : own ? '\x18' : ' ';
  row += ' ';  // the rule's column
  row += file.kind == EncodingKind::Crack ? FieldPad(22, 0, CrackTitle(file))
                                          : ProgressBarText(file.present, file.total);
  return row;
}

AreaPanel::AreaPanel(const Settings& settings, const AreaTable& areas,
                     FoundFileCatalogue& catalogue, HistoryList& history)
    : settings_(settings), areas_(areas), catalogue_(catalogue), history_(history) {
  areaList_.SetCount(areas_.Count());
}

void AreaPanel::Layout(const Rect& panel) {
  local = panel;
  areaList_.SetRows(panel.height - 4);
  files_.SetRows(panel.height - 5);
}

void AreaPanel::ShowFoundFiles(std::string title, std::string areaTag, bool textFile) {
  opened_ = true;
  textFile_ = textFile;
  title_ = std::move(title);
  areaTag_ = std::move(areaTag);
  files_.cursor = files_.top = 1;
  CatalogueChanged();
}

void AreaPanel::ShowAreas() {
  opened_ = false;
  textFile_ = false;
  selectedCount_ = 0;
  areaList_.SetCount(areas_.Count());
}

void AreaPanel::CatalogueChanged() {
  files_.SetCount(catalogue_.Count());
  selectedCount_ = 0;
  for (int i = 2; i <= catalogue_.Count(); ++i)
    if (catalogue_.At(i).selected) ++selectedCount_;
}

int AreaPanel::CursorArea() const {
  return areaList_.cursor >= 1 && areaList_.cursor <= areas_.Count() ? areaList_.cursor : 0;
}

const FoundFile* AreaPanel::CursorFile() const {
  if (!opened_ || files_.cursor < 2 || files_.cursor > catalogue_.Count()) return nullptr;
  return &catalogue_.At(files_.cursor);
}

void AreaPanel::SetSelected(FoundFile& file, bool selected) {
  if (file.selected == selected) return;
  file.selected = selected;
  selectedCount_ += selected ? 1 : -1;
}

void AreaPanel::ToggleCursor() {
  if (!opened_) return;
  if (files_.cursor >= 2 && files_.cursor <= catalogue_.Count()) {
    FoundFile& file = catalogue_.At(files_.cursor);
    SetSelected(file, !file.selected);
  }
  files_.Step(1);
}

void AreaPanel::Invert() {
  if (!opened_) return;
  for (int i = 2; i <= catalogue_.Count(); ++i)
    SetSelected(catalogue_.At(i), !catalogue_.At(i).selected);
}

int AreaPanel::SelectByMask(std::string_view mask, bool select) {
  if (!opened_) return 0;
  int changed = 0;
  for (int i = 2; i <= catalogue_.Count(); ++i) {
    FoundFile& file = catalogue_.At(i);
    if (file.selected != select && MatchesFileMask(file.name, mask)) {
      SetSelected(file, select);
      ++changed;
    }
  }
  return changed;
}

void AreaPanel::Unselect(int index) { SetSelected(catalogue_.At(index), false); }

std::vector<int> AreaPanel::Targets() const {
  std::vector<int> targets;
  if (!opened_) return targets;
  for (int i = 2; i <= catalogue_.Count(); ++i)
    if (catalogue_.At(i).selected) targets.push_back(i);
  if (targets.empty() && CursorFile() != nullptr) targets.push_back(files_.cursor);
  return targets;
}

bool AreaPanel::InHistory(const FoundFile& file) const {
  return !textFile_ && FindHistoryEntry(history_, static_cast<uint8_t>(file.kind), file.total,
                                        areaTag_, file.name) != nullptr;
}

std::string AreaPanel::EntryName(int index) const {
  if (!opened_) return index >= 1 && index <= areas_.Count() ? areas_.At(index).displayName : "";
  return index >= 1 && index <= catalogue_.Count() ? catalogue_.At(index).name : "";
}

std::string AreaPanel::InfoText() const {
  if (!opened_) return CursorArea() != 0 ? areas_.At(CursorArea()).displayName : "";
  if (OnExitRow()) return ExitRowName();
  if (selectedCount_ > 0) return std::to_string(selectedCount_) + Cp866(" файл(ов) выбрано");
  const FoundFile* file = CursorFile();
  if (file == nullptr) return {};
  std::string counts("[");
  counts.append(std::to_string(file->present))
      .append("/")
      .append(std::to_string(file->total))
      .append("]");
  const std::string label = EncodingLabel(file->kind);
  const size_t width = static_cast<size_t>(local.width - 2);
  const size_t gap =
      counts.size() + label.size() < width ? width - counts.size() - label.size() : 1;
  return counts + std::string(gap, ' ') + label;
}

void AreaPanel::Draw(CellBuffer& out, const Palette& palette, Point origin, bool focused) {
  const Rect panel = Placed(origin);
  if (opened_)
    DrawFiles(out, palette, panel, focused);
  else
    DrawAreas(out, palette, panel, focused);
  if (const std::string_view searchText = SearchText(focused); !searchText.empty()) {
    DrawInfoLine(out, palette, panel, searchText);
    out.SetCursor(panel.x + 1 + static_cast<int>(searchText.size()), panel.y + InfoRow(panel));
  } else {
    DrawInfoLine(out, palette, panel, InfoText());
  }
}

void AreaPanel::DrawAreas(CellBuffer& out, const Palette& palette, const Rect& panel,
                          bool focused) const {
  DrawPanelFrame(out, palette, panel, Cp866(" Области "), {});
  for (int row = 0; row < areaList_.rows; ++row) {
    const int index = areaList_.top + row;
    if (index > areaList_.count) break;
    const bool onCursor = focused && index == areaList_.cursor;
    const uint8_t attr = palette[onCursor ? panel_pal::kCursor : panel_pal::kFile];
    const int y = panel.y + 1 + row;
    out.PutText(panel.x + 1, y,
                FieldPad(static_cast<size_t>(panel.width - 2), 0, areas_.At(index).displayName),
                attr);
  }
}

void AreaPanel::DrawFiles(CellBuffer& out, const Palette& palette, const Rect& panel,
                          bool focused) const {
  const int extra = Extra(panel);
  const std::string title = textFile_ ? Lower(title_) : title_;
  DrawPanelFrame(out, palette, panel, title, {kNameRule + extra, kMarkRule + extra});
  // "Имя" over the middle of the name column, "Статус" over the bar, however wide the panel.
  const uint8_t titleAttr = palette[panel_pal::kTitle];
  out.PutText(panel.x + 1, panel.y + 1, std::string(static_cast<size_t>(panel.width - 2), ' '),
              titleAttr);
  out.PutText(panel.x + 5 + extra / 2, panel.y + 1, Cp866("Имя"), titleAttr);
  out.PutText(panel.x + kMarkRule + extra + 8, panel.y + 1, Cp866("Статус"), titleAttr);
  for (int column : {kNameRule, kMarkRule})
    out.Put(panel.x + column + extra, panel.y + 1, glyph::kSingleVertical,
            palette[panel_pal::kFrame]);

  for (int row = 0; row < files_.rows; ++row) {
    const int index = files_.top + row;
    // A rescan refills the catalogue while its progress window redraws the screen.
    if (index > files_.count || index > catalogue_.Count()) break;
    const bool onCursor = focused && index == files_.cursor;
    const int y = panel.y + kListTop + row;
    if (index == 1) {
      const uint8_t attr = palette[onCursor ? panel_pal::kCursor : panel_pal::kFile];
      out.PutText(panel.x + 1, y, FieldPad(static_cast<size_t>(panel.width - 2), 0, ExitRowName()),
                  attr);
      continue;
    }
    const FoundFile& file = catalogue_.At(index);
    const bool own = IsOwnAddress(settings_, file.fromAddress);
    int colour = onCursor ? panel_pal::kCursor : panel_pal::kFile;
    if (file.selected)
      colour = onCursor ? panel_pal::kCursorSelected : panel_pal::kSelected;
    else if (file.present < file.total)
      colour = onCursor ? panel_pal::kCursorIncomplete : panel_pal::kIncomplete;
    else if (own)
      colour = onCursor ? panel_pal::kCursorOwn : panel_pal::kOwn;
    const uint8_t attr = palette[colour];
    out.PutText(panel.x + 1, y,
                FieldPad(static_cast<size_t>(panel.width - 2), 0,
                         FoundFileRowText(file, InHistory(file), own, extra)),
                attr);
    const uint8_t ruleAttr = onCursor ? attr : palette[panel_pal::kFrame];
    for (int column : {kNameRule, kMarkRule})
      out.Put(panel.x + column + extra, y, glyph::kSingleVertical, ruleAttr);
  }
}

}  // namespace vm::shell
