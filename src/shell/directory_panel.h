// The directory panel: the entries of its directory with their size, date and time, the
// selection of files and its counters, and the information line; the left view of the main
// window. The panel's directory is its own value (an absolute program path); the process's
// working directory has nothing to do with it.
#pragma once

#include <string>
#include <string_view>

#include "shell/directory_list.h"
#include "shell/list_panel.h"

namespace vm::shell {

class DirectoryPanel : public ListPanel {
 public:
  // Rows of the list: the panel's height less the frame, header, separator and information line.
  static int ListRows(const tui::Rect& panel) { return panel.height - 5; }

  // The directory the panel shows, absolute; Read shows one set here.
  const std::string& Directory() const { return directory_; }
  void SetDirectory(std::string directory) { directory_ = std::move(directory); }
  // The program path of an entry of the panel's directory.
  std::string PathOf(std::string_view name) const;
  // Reads the panel's directory again; the selection is dropped. False when it held more
  // entries than the list takes.
  bool Read(bool showHidden);
  // Places the panel in its main window's cells.
  void Layout(const tui::Rect& panel);
  void Draw(tui::CellBuffer& out, const tui::Palette& palette, tui::Point origin,
            bool focused) override;

  const DirectoryListing& List() const { return list_; }
  ListCursor& Cursor() override { return cursor_; }
  const ListCursor& Cursor() const override { return cursor_; }
  int FirstListRow() const override;
  const DirectoryEntry* CursorEntry() const;
  // Puts the cursor on the entry of that name (after leaving a directory); false when none.
  bool MoveToName(std::string_view name);

  int SelectedCount() const { return selectedCount_; }
  int64_t SelectedBytes() const { return selectedBytes_; }
  // Space and Ins: toggles the cursor file (never a directory) and moves down.
  void ToggleCursor() override;
  void Invert();
  // Selects or unselects every file (not directory) matching the mask; the count changed.
  int SelectByMask(std::string_view mask, bool select);
  // The entries selected, or the cursor file when none is.
  std::vector<const DirectoryEntry*> Targets() const;

  // For the tests: a list put in directly.
  void SetList(DirectoryListing list);

 private:
  void SetSelected(DirectoryEntry& entry, bool selected);
  std::string InfoText() const;

  std::string directory_;
  DirectoryListing list_;
  ListCursor cursor_;
  int selectedCount_ = 0;
  int64_t selectedBytes_ = 0;
};

// The program path of a name in an absolute directory: "/" + name in the root.
std::string PathInDirectory(std::string_view directory, std::string_view name);

// The columns of one entry: the name column (12 + extra characters: base name, extension at
// position 10 + extra), the size column, the date and the time, as the panel shows them.
std::string DirectoryNameColumn(const DirectoryEntry& entry, int extra);
std::string DirectorySizeColumn(const DirectoryEntry& entry);

}  // namespace vm::shell
