#include "shell/main_window.h"

#include <memory>

#include "config/area_table.h"
#include "config/settings.h"
#include "msgbase/area_id.h"
#include "platform/drive_walk.h"
#include "platform/file_system.h"
#include "shell/commands.h"
#include "shell/quick_search.h"
#include "state/run_state.h"
#include "text/cp866.h"
#include "text/text_helpers.h"
#include "tui/keys.h"
#include "tui/message_box.h"

namespace vm::shell {

using namespace tui;

MainWindow::MainWindow(Application& app, const ShellContext& context, std::string directory)
    : app_(app),
      ctx_(context),
      dialogs_(app),
      directory_(Add(std::make_unique<DirectoryPanel>())),
      area_(Add(std::make_unique<AreaPanel>(context.settings, context.areas, catalogue_,
                                            context.state.history))),
      prompts_(app),
      encode_(app, context, prompts_) {
  directory_.SetSearchText(search_);
  area_.SetSearchText(search_);
  directory_.SetDirectory(std::move(directory));
}

MainWindow::~MainWindow() { CloseMessageArea(base_); }

void MainWindow::Layout(const Rect& desktop) {
  bounds = desktop;
  const int left = desktop.width / 2;
  directory_.Layout(Rect{0, 0, left, desktop.height});
  area_.Layout(Rect{left, 0, desktop.width - left, desktop.height});
}

void MainWindow::ReadDirectory() {
  if (!directory_.Read(ctx_.settings.SHOWHIDDEN)) ShowError(app_, Cp866("Слишком много файлов"));
}

void MainWindow::RereadDirectory() {
  const DirectoryEntry* entry = directory_.CursorEntry();
  const std::string name = entry != nullptr ? entry->name : "";
  const int row = directory_.Cursor().cursor;
  const int top = directory_.Cursor().top;
  ReadDirectory();
  ListCursor& cursor = directory_.Cursor();
  cursor.top = top;
  cursor.MoveTo(row);
  if (!name.empty()) directory_.MoveToName(name);
}

void MainWindow::QueueStart(int openArea) {
  if (openArea > 0) {
    Focus(area_);
    area_.SetCursorArea(openArea);
    app_.PutEvent(Event::Key(key::kEnter));
  } else {
    app_.PutEvent(Event::Key(key::kHome));
  }
}

PanelFacts MainWindow::Facts() const {
  PanelFacts facts;
  facts.directoryActive = DirectoryActive();
  const DirectoryEntry* entry = directory_.CursorEntry();
  facts.cursorOnFile = entry != nullptr && !entry->isDirectory;
  facts.directorySelected = directory_.SelectedCount();
  facts.areaOpened = area_.Opened();
  facts.onExitRow = area_.OnExitRow();
  facts.foundSelected = area_.SelectedCount();
  facts.textFile = area_.TextFile();
  return facts;
}

void MainWindow::Refresh() {
  const CommandStates states = EnabledCommands(Facts());
  app_.EnableCommand(cmd::kEncode, states.encode);
  app_.EnableCommand(cmd::kDecode, states.decode);
  app_.EnableCommand(cmd::kDelete, states.remove);
  app_.EnableCommand(cmd::kDeCode, states.deCode);
  app_.EnableCommand(cmd::kInformation, states.information);

  std::string title = "Veldmark";
  if (DirectoryActive())
    title.append(" - ").append(directory_.Directory());
  else if (area_.Opened())
    title.append(" - ").append(openArea_ > 0 ? ctx_.areas.At(openArea_).displayName
                                             : textFileArea_.displayName);
  if (title != title_) {
    title_ = title;
    app_.SetTitle(title);
  }
}

void MainWindow::HandleEvent(Event& event) {
  if (event.kind == EventKind::Key) {
    if (HandleSearchKey(event.key)) return event.Clear();
    // The focused panel's keys, and Tab between the panels.
    Group::HandleEvent(event);
    if (event.kind == EventKind::Key) HandleKey(event.key);
  } else if (event.kind == EventKind::Mouse) {
    search_.clear();
    const bool onPanel = ChildAt(event.mouse.where) != nullptr;
    Group::HandleEvent(event);
    // A double click on an entry: the panel put its cursor there and left the rest.
    if (event.kind == EventKind::Mouse && event.mouse.action == MouseAction::DoubleClick && onPanel)
      Enter();
  } else if (event.kind == EventKind::Command) {
    search_.clear();
    ExecuteMenuCommand(event.command);
  } else {
    return;
  }
  event.Clear();
}

bool MainWindow::HandleSearchKey(int key) {
  const bool fileNames = DirectoryActive() || area_.Opened();
  if (key::IsCharacter(key) && key != ' ' &&
      (!fileNames || IsFileNameChar(static_cast<unsigned char>(key)))) {
    Search(static_cast<unsigned char>(key));
    return true;
  }
  if (search_.empty()) return false;
  if (key == key::kBackspace || key == key::kLeft) {
    search_.pop_back();
    return true;
  }
  search_.clear();
  return key == key::kEsc;  // Esc only ends the search
}

void MainWindow::Search(unsigned char c) {
  const bool directoryActive = DirectoryActive();
  const bool areaNames = !directoryActive && !area_.Opened();
  if (!SearchTextAccepts(search_, c, areaNames)) return;
  const std::string typed = search_ + static_cast<char>(c);
  const std::string mask = areaNames ? AreaSearchMask(typed) : FileSearchMask(typed);
  ListCursor& cursor = directoryActive ? directory_.Cursor() : area_.Cursor();
  const auto matches = [&](int i) {
    if (directoryActive)
      return MatchesSearchMask(directory_.List().entries[static_cast<size_t>(i - 1)].name, mask);
    const std::string name = area_.EntryName(i);
    return areaNames ? MatchesFileMask(name, mask) : MatchesSearchMask(name, mask);
  };
  const int first = !directoryActive && area_.Opened() ? 2 : 1;
  const int found = QuickSearch(cursor.count, cursor.cursor, first, matches);
  if (found == 0) return;  // the character is dropped
  search_ = typed;
  cursor.MoveTo(found);
}

void MainWindow::HandleKey(int key) {
  switch (key) {
    case key::kGrayStar: Invert(); break;
    case key::kEnter: Enter(); break;
    case key::kCtrlBackslash:
      if (DirectoryActive()) GoToRoot();
      break;
    case key::kAlt | key::F(1): ExecuteMenuCommand(cmd::kChangeDrive); break;
    case key::kEsc: AskQuit(); break;
    default: break;
  }
}

void MainWindow::Enter() {
  if (DirectoryActive()) {
    const DirectoryEntry* entry = directory_.CursorEntry();
    if (entry == nullptr) return;
    const DirectoryEntry chosen = *entry;
    if (chosen.isDirectory)
      EnterDirectory(chosen);
    else
      ScanTextFile(chosen);
  } else if (!area_.Opened()) {
    if (area_.CursorArea() != 0) OpenArea(area_.CursorArea());
  } else if (area_.OnExitRow()) {
    CloseArea();
  }
}

bool MainWindow::ShowDirectory(std::string_view directory) {
  std::optional<std::string> entered = DirectoryToEnter(directory);
  if (!entered) return false;
  directory_.SetDirectory(std::move(*entered));
  ReadDirectory();
  directory_.Cursor().MoveTo(1);
  return true;
}

void MainWindow::EnterDirectory(const DirectoryEntry& entry) {
  const std::string current = directory_.Directory();
  std::string target;
  std::string leaving;
  if (entry.name == "..") {
    const size_t slash = current.find_last_of('/');
    target = slash == 0 || slash == std::string::npos ? "/" : current.substr(0, slash);
    leaving = slash == std::string::npos ? "" : current.substr(slash + 1);
  } else {
    target = directory_.PathOf(entry.name);
  }
  if (!ShowDirectory(target)) {
    ShowError(app_, Cp866("Не могу войти в каталог"));
    return;
  }
  if (!leaving.empty()) directory_.MoveToName(leaving);
}

void MainWindow::GoToRoot() { ShowDirectory(DriveOf(directory_.Directory()).RootPath()); }

void MainWindow::ScanTextFile(const DirectoryEntry& entry) {
  std::string question = Cp866("Просканировать файл %s на наличие кодированных файлов?");
  question.replace(question.find("%s"), 2, entry.name);
  if (!AskYes(app_, question)) return;
  const std::string path = directory_.PathOf(entry.name);
  textFileArea_ = AreaEntry{};
  textFileArea_.displayName = entry.name;
  textFileArea_.areaId = AreaId::Of(BaseKind::TextFile, path).Format();
  if (!OpenAndScan(textFileArea_.areaId, textFileArea_)) {
    ShowError(app_, Cp866("Не могу открыть файл."));
    return;
  }
  openArea_ = 0;
  area_.ShowFoundFiles(entry.name, {}, true);
  Focus(area_);
}

void MainWindow::OpenArea(int index) {
  AreaEntry& area = ctx_.areas.At(index);
  if (!OpenAndScan(area.areaId, area)) {
    ShowError(app_, Cp866("Нет доступа к базе"));
    return;
  }
  openArea_ = index;
  area_.ShowFoundFiles(area.displayName, area.tag, false);
}

bool MainWindow::OpenAndScan(const std::string& areaId, AreaEntry& area) {
  MessageBaseHandle opened;
  if (!OpenMessageArea(areaId, opened)) return false;
  // The base shown so far is closed only once the new one is open.
  CloseMessageArea(base_);
  base_ = std::move(opened);
  basePath_ = areaId;
  DecodeSession session{ctx_.settings, decodeState_, ctx_.console, ctx_.log, &dialogs_};
  decodeState_.abortPending = false;
  ScanArea(session, *base_, area, catalogue_, ScanOptions{});
  decodeState_.abortPending = false;
  return true;
}

void MainWindow::Rescan() {
  if (!base_) return;
  AreaEntry& area = openArea_ > 0 ? ctx_.areas.At(openArea_) : textFileArea_;
  DecodeSession session{ctx_.settings, decodeState_, ctx_.console, ctx_.log, &dialogs_};
  decodeState_.abortPending = false;
  ScanArea(session, *base_, area, catalogue_, ScanOptions{});
  decodeState_.abortPending = false;
  area_.CatalogueChanged();
}

void MainWindow::CloseArea() {
  CloseMessageArea(base_);
  basePath_.clear();
  catalogue_.FreeCatalogue();
  area_.ShowAreas();
  if (openArea_ > 0) area_.SetCursorArea(openArea_);
  openArea_ = 0;
}

}  // namespace vm::shell
