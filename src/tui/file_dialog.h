// The file dialog: a name line (starting with the wildcard), the list of the directory's
// subdirectories and of its files that match the wildcard, OK and Cancel. Picking a list
// entry puts its name in the line; OK on a directory enters it, on a name with "*" or "?"
// makes that the wildcard, on anything else ends the dialog with that file. The process's
// current directory is never changed.
#pragma once

#include <string>
#include <vector>

#include "tui/dialog.h"

namespace vm::tui {

class InputLine;
class ListBox;

class FileDialog : public Dialog {
 public:
  static constexpr int kWidth = 52;
  static constexpr int kHeight = 19;

  // directory: a program path; label: the name line's label ("~И~мя").
  FileDialog(std::string title, std::string_view label, std::string directory,
             std::string wildcard);

  void Draw(CellBuffer& out, const Palette& palette) override;
  void HandleEvent(Event& event) override;

  // The chosen file's path once the dialog ended with OK.
  const std::string& Chosen() const { return chosen_; }
  const std::string& Directory() const { return directory_; }
  const std::vector<std::string>& Entries() const { return entries_; }

 private:
  void Fill();
  // What OK does with the typed name; true when the dialog ends.
  bool Accept();

  std::string directory_;
  std::string wildcard_;
  std::string chosen_;
  std::vector<std::string> entries_;  // directories (with a trailing "\") first, then files
  InputLine* name_ = nullptr;
  ListBox* list_ = nullptr;
  int listed_ = -1;  // the list entry last put into the name line
};

}  // namespace vm::tui
