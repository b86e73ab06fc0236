#include "tui/file_dialog.h"

#include <memory>

#include "platform/file_system.h"
#include "text/cp866.h"
#include "tui/button.h"
#include "tui/input_line.h"
#include "tui/keys.h"
#include "tui/label.h"
#include "tui/list_box.h"

namespace vm::tui {
namespace {

constexpr size_t kNameLength = 255;
constexpr char kDirectoryMark = '\\';

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::string Join(const std::string& directory, std::string_view name) {
  if (directory.empty() || IsSeparator(directory.back())) return directory + std::string(name);
  return directory + "/" + std::string(name);
}

// A name that is a path of its own: from the root or with a drive.
bool Absolute(std::string_view name) {
  return (!name.empty() && IsSeparator(name.front())) || (name.size() >= 2 && name[1] == ':');
}

std::string Parent(std::string directory) {
  while (directory.size() > 1 && IsSeparator(directory.back())) directory.pop_back();
  const size_t last = directory.find_last_of("/\\");
  if (last == std::string::npos) return directory;
  // The root keeps its separator ("/", "C:\").
  return directory.substr(0, last == 0 || (last == 2 && directory[1] == ':') ? last + 1 : last);
}

}  // namespace

FileDialog::FileDialog(std::string title, std::string_view label, std::string directory,
                       std::string wildcard)
    : Dialog(kWidth, kHeight, std::move(title)),
      directory_(std::move(directory)),
      wildcard_(std::move(wildcard)) {
  name_ = &Add(std::make_unique<InputLine>(3, 3, kWidth - 6, kNameLength));
  name_->SetText(wildcard_);
  Add(std::make_unique<Label>(2, 2, std::string(label), name_));
  list_ = &Add(std::make_unique<ListBox>(3, 6, kWidth - 6, 8));
  Add(std::make_unique<Label>(2, 5, Cp866("~Ф~айлы"), list_));
  Add(std::make_unique<Button>(12, 16, 12, "O~k~", cmd::kOk));
  Add(std::make_unique<Button>(28, 16, 12, Cp866("~О~тмена"), cmd::kCancel));
  SetDefaultCommand(cmd::kOk);
  SetBeforeClose([this](int command) { return command != cmd::kOk || Accept(); });
  Fill();
}

void FileDialog::Fill() {
  entries_.clear();
  std::vector<std::string> files;
  if (Parent(directory_) != directory_) entries_.push_back(".." + std::string(1, kDirectoryMark));
  for (const DirEntry& entry : ListDirectory(directory_)) {
    if (entry.isHidden) continue;
    if (entry.isDirectory)
      entries_.push_back(entry.name + kDirectoryMark);
    else if (MatchesFileMask(entry.name, wildcard_))
      files.push_back(entry.name);
  }
  entries_.insert(entries_.end(), files.begin(), files.end());
  list_->SetItems(entries_);
  list_->FocusItem(0);
  listed_ = -1;
}

bool FileDialog::Accept() {
  // Enter on the list takes its entry, as a click on it put it into the line.
  if (Focused() == list_ && list_->FocusedItem() >= 0)
    name_->SetText(entries_[static_cast<size_t>(list_->FocusedItem())]);
  std::string name = name_->Text();
  while (!name.empty() && name.front() == ' ') name.erase(0, 1);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  if (name.empty()) return false;
  if (name.find_first_of("*?") != std::string::npos) {
    wildcard_ = name;
    Fill();
    return false;
  }
  if (name.size() > 1 && IsSeparator(name.back())) name.pop_back();
  const std::string path = name == ".."     ? Parent(directory_)
                           : Absolute(name) ? name
                                            : Join(directory_, name);
  if (DirectoryExists(path)) {
    directory_ = path;
    name_->SetText(wildcard_);
    Fill();
    Focus(*name_);
    return false;
  }
  chosen_ = path;
  // A name without an extension gets the wildcard's ("mine" → "mine.pal").
  const size_t dot = wildcard_.rfind('.');
  const size_t base = chosen_.find_last_of("/\\");
  if (dot != std::string::npos && wildcard_.find_first_of("*?", dot) == std::string::npos &&
      chosen_.find('.', base == std::string::npos ? 0 : base) == std::string::npos)
    chosen_ += wildcard_.substr(dot);
  return true;
}

void FileDialog::HandleEvent(Event& event) {
  const bool doubleClick = event.kind == EventKind::Mouse &&
                           event.mouse.action == MouseAction::DoubleClick &&
                           ChildAt(event.mouse.where) == list_;
  Dialog::HandleEvent(event);
  // The list's entry under the focus goes into the name line as the focus moves over it.
  if (Focused() == list_ && list_->FocusedItem() != listed_ && list_->FocusedItem() >= 0) {
    listed_ = list_->FocusedItem();
    name_->SetText(entries_[static_cast<size_t>(listed_)]);
  }
  if (doubleClick) Close(cmd::kOk);
}

void FileDialog::Draw(CellBuffer& out, const Palette& palette) {
  Dialog::Draw(out, palette);
  const int width = bounds.width - 6;
  std::string shown = directory_;
  if (static_cast<int>(shown.size()) > width)
    shown = "..." + shown.substr(shown.size() - static_cast<size_t>(width - 3));
  out.PutText(bounds.x + 3, bounds.y + 14, shown, palette[Roles().text]);
}

}  // namespace vm::tui
