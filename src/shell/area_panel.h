// The area panel: the area list, or the found files of the opened area or text file with
// their marks, progress bars and the selection; the right view of the main window.
#pragma once

#include <string>
#include <string_view>

#include "shell/list_panel.h"

namespace vm {
class AreaTable;
class FoundFileCatalogue;
class HistoryList;
struct FoundFile;
struct Settings;
}  // namespace vm

namespace vm::shell {

class AreaPanel : public ListPanel {
 public:
  AreaPanel(const Settings& settings, const AreaTable& areas, FoundFileCatalogue& catalogue,
            HistoryList& history);

  // Places the panel in its main window's cells.
  void Layout(const tui::Rect& panel);
  void Draw(tui::CellBuffer& out, const tui::Palette& palette, tui::Point origin,
            bool focused) override;

  // The found-file list of the area (its tag is what the history knows it by) or of a text
  // file; the title is the area's display name or the file's name.
  void ShowFoundFiles(std::string title, std::string areaTag, bool textFile);
  // Back to the area list.
  void ShowAreas();
  // The catalogue changed (a rescan): the counts follow, the cursor stays where it can.
  void CatalogueChanged();

  bool Opened() const { return opened_; }
  bool TextFile() const { return textFile_; }
  ListCursor& Cursor() override { return opened_ ? files_ : areaList_; }
  const ListCursor& Cursor() const override { return opened_ ? files_ : areaList_; }
  // The area under the area list's cursor (0 when there is none).
  int CursorArea() const;
  void SetCursorArea(int index) { areaList_.MoveTo(index); }
  // The found file under the cursor; nullptr on the exit row or in the area list.
  const FoundFile* CursorFile() const;
  bool OnExitRow() const { return opened_ && files_.cursor == 1; }

  int SelectedCount() const { return selectedCount_; }
  void ToggleCursor() override;
  void Invert();
  int SelectByMask(std::string_view mask, bool select);
  void Unselect(int index);
  // The catalogue indexes of the selected files, or of the cursor file when none is.
  std::vector<int> Targets() const;
  // Whether the history knows the found file (the "√" mark).
  bool InHistory(const FoundFile& file) const;

  int FirstListRow() const override { return opened_ ? 2 : 1; }
  // The display name used by the quick search and the area information.
  std::string EntryName(int index) const;

 private:
  void SetSelected(FoundFile& file, bool selected);
  void DrawAreas(tui::CellBuffer& out, const tui::Palette& palette, const tui::Rect& panel,
                 bool focused) const;
  void DrawFiles(tui::CellBuffer& out, const tui::Palette& palette, const tui::Rect& panel,
                 bool focused) const;
  std::string InfoText() const;

  const Settings& settings_;
  const AreaTable& areas_;
  FoundFileCatalogue& catalogue_;
  HistoryList& history_;
  bool opened_ = false;
  bool textFile_ = false;
  std::string title_;
  std::string areaTag_;
  ListCursor areaList_;
  ListCursor files_;
  int selectedCount_ = 0;
};

// The found-file row's text from its name to the end of the panel's inner width: name,
// marks and progress bar (or a crack block's title).
std::string FoundFileRowText(const FoundFile& file, bool inHistory, bool own, int extra);
// "[" and 20 cells of ■ (present) and · (missing), "]", the percentage over the middle.
std::string ProgressBarText(int32_t present, int32_t total);

}  // namespace vm::shell
