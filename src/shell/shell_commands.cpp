// The main window's commands: quit, decode, delete, information, selection, change drive,
// about and the encode checks.
#include <set>

#include "config/area_table.h"
#include "config/settings.h"
#include "decode/file_decoder.h"
#include "decode/file_info.h"
#include "decode/history_check.h"
#include "platform/drive_walk.h"
#include "platform/file_system.h"
#include "platform/host.h"
#include "shell/colour_commands.h"
#include "shell/commands.h"
#include "shell/drive_dialog.h"
#include "shell/file_info_window.h"
#include "shell/help_contexts.h"
#include "shell/main_window.h"
#include "shell/mask_dialog.h"
#include "shell/user_utility.h"
#include "state/run_state.h"
#include "text/cp866.h"
#include "tui/message_box.h"
#include "tui/progress_window.h"

namespace vm::shell {

using namespace tui;

void MainWindow::ExecuteMenuCommand(int command) {
  switch (command) {
    case cmd::kQuit: AskQuit(); break;
    case cmd::kDecode: Decode(); break;
    case cmd::kEncode: Encode(); break;
    case cmd::kDeCode:
      if (DirectoryActive())
        Encode();
      else if (area_.Opened())
        Decode();
      break;
    case cmd::kDelete: Delete(); break;
    case cmd::kInformation: Information(); break;
    case cmd::kSelect: SelectByMask(true); break;
    case cmd::kUnselect: SelectByMask(false); break;
    case cmd::kInvert: Invert(); break;
    case cmd::kChangeDrive: ChangeDrive(); break;
    case cmd::kAbout: ShowInformation(app_, "Veldmark v1.61.40 Win32b"); break;
    case cmd::kQueue: ShowQueueWindow(); break;
    case cmd::kRefresh: RereadDirectory(); break;
    case cmd::kColours: ChangeColours(app_); break;
    case cmd::kStandardColours: StandardColours(app_); break;
    case cmd::kSavePalette: SavePalette(app_, ctx_.paths.ProgramDir); break;
    case cmd::kLoadPalette: LoadPalette(app_, ctx_.paths.ProgramDir); break;
    default:
      if (command > cmd::kUtility) RunUtility(command - cmd::kUtility);
      break;
  }
}

void MainWindow::AskQuit() {
  if (AskYes(app_, Cp866("Вы уверены что хотите выйти?"))) app_.Quit();
}

void MainWindow::NoAreasNotice() {
  ShowInformation(
      app_,
      Cp866("Так как в VELDMARK.CTL не задано ни одной конференции, Вы не можете кодировать файлы "
            "или сканировать эхи,а можете только раскодировать файлы. (Hажмите Enter на каком-либо "
            "текстовом файле)"));
}

void MainWindow::Encode() {
  if (ctx_.areas.Count() == 0) return NoAreasNotice();
  if (area_.TextFile()) {
    ShowError(app_, Cp866("В этой версии Вы еще не можете кодировать в файлы"));
    return;
  }
  const auto targets = directory_.Targets();
  if (targets.empty()) return;
  if (directory_.SelectedCount() == 0 && !encode_.FileWorthPosting(targets.front()->size)) return;
  PostFiles();
}

void MainWindow::RememberDecoded(const FoundFile& file) {
  if (openArea_ == 0) return;  // a text file is no area the history knows
  const AreaEntry& area = ctx_.areas.At(openArea_);
  const CalendarDate today = DateOf(LocalNow());
  HistoryPosting posting{file.date, file.kind, file.total, area.tag, file.name};
  RememberPosting(ctx_.state.history, posting, area.HistoryDays, today);
}

void MainWindow::Decode() {
  if (!area_.Opened() || !base_) return;
  const std::vector<int> targets = area_.Targets();
  if (targets.empty()) {
    ShowError(app_, Cp866("Файлы не отмечены"));
    return;
  }
  const bool selection = area_.SelectedCount() > 0;
  int64_t steps = 0;
  for (int index : targets) steps += catalogue_.At(index).total;
  DecodeSession session{ctx_.settings, decodeState_, ctx_.console, ctx_.log, &dialogs_};
  decodeState_.abortPending = false;
  dialogs_.BeginProgress(Cp866("Раскодирую файлы"), static_cast<int32_t>(steps));
  const std::string& directory = directory_.Directory();
  for (int index : targets) {
    if (decodeState_.abortPending) break;
    const FoundFile& file = catalogue_.At(index);
    const FileDecodeOutcome outcome = DecodeFoundFile(session, *base_, work_, file, directory);
    if (outcome.result == 0) {
      RememberDecoded(file);
      if (selection) area_.Unselect(index);
    }
    if (dialogs_.Progress() != nullptr) dialogs_.Progress()->Step(file.total);
  }
  dialogs_.EndProgress();
  decodeState_.abortPending = false;
  RereadDirectory();
  area_.CatalogueChanged();
}

void MainWindow::Delete() {
  if (!AskYes(app_, Cp866("Удаление файлов. Вы уверены что хотите продолжить?"))) return;
  if (DirectoryActive())
    DeleteDirectoryFiles();
  else if (area_.Opened() && !area_.TextFile())
    DeleteFoundFiles();
}

void MainWindow::DeleteDirectoryFiles() {
  std::vector<std::string> names;
  for (const DirectoryEntry* entry : directory_.Targets()) names.push_back(entry->name);
  if (names.empty()) return;
  {
    ProgressWindow progress(app_, Cp866("Удаление файлов"), static_cast<int64_t>(names.size()));
    for (const std::string& name : names) {
      if (progress.AbortRequested() && AskYes(app_, Cp866("Прервать удаление файлов?"))) break;
      RemoveFile(directory_.PathOf(name));
      progress.Step();
    }
  }
  RereadDirectory();
}

void MainWindow::DeleteFoundFiles() {
  const std::vector<int> targets = area_.Targets();
  if (targets.empty() || !base_) return;
  {
    ProgressWindow progress(app_, Cp866("Удаление файлов"), static_cast<int64_t>(targets.size()));
    for (int index : targets) {
      if (progress.AbortRequested() && AskYes(app_, Cp866("Прервать удаление файлов?"))) break;
      std::set<int32_t> messages;
      for (const SectionSlot& slot : catalogue_.At(index).sections)
        if (slot.message != 0) messages.insert(slot.message);
      DeleteDecodedMessages(*base_, std::vector<int32_t>(messages.begin(), messages.end()));
      progress.Step();
    }
  }
  Rescan();
}

void MainWindow::Information() {
  if (DirectoryActive()) {
    if (ctx_.areas.Count() == 0) return NoAreasNotice();
    const DirectoryEntry* entry = directory_.CursorEntry();
    if (directory_.SelectedCount() == 0 && (entry == nullptr || entry->isDirectory)) {
      ShowError(app_, Cp866("Это не файл!"));
      return;
    }
    DirectoryInfoRequest request;
    const int area = area_.CursorArea();
    request.area = area != 0 ? &ctx_.areas.At(area) : nullptr;
    request.selectedCount = directory_.SelectedCount();
    request.size = request.selectedCount > 0 ? directory_.SelectedBytes() : entry->size;
    request.fileName = entry != nullptr ? entry->name : "";
    request.flags = ctx_.state.defaults.flags;
    ShowFileInfo(app_, DirectoryInfo(request, ctx_.settings));
    return;
  }
  if (!area_.Opened()) {
    if (area_.CursorArea() != 0) ShowFileInfo(app_, AreaInfo(ctx_.areas.At(area_.CursorArea())));
    return;
  }
  // The file under the cursor, whatever is selected.
  const FoundFile* file = area_.CursorFile();
  if (file == nullptr || !base_) return;
  const AreaEntry* area = openArea_ > 0 ? &ctx_.areas.At(openArea_) : nullptr;
  const std::string textPath = openArea_ > 0 ? std::string() : basePath_.substr(1);
  ShowFileInfo(app_, FoundFileInfo(*base_, *file, area, textPath));
}

void MainWindow::SelectByMask(bool select) {
  const auto mask = AskMask(app_, Cp866(select ? "Выбор" : "Отмена"), lastMask_,
                            select ? hc::kSelect : hc::kUnselect);
  if (!mask) return;
  lastMask_ = *mask;
  if (DirectoryActive())
    directory_.SelectByMask(*mask, select);
  else
    area_.SelectByMask(*mask, select);
}

void MainWindow::Invert() {
  if (DirectoryActive())
    directory_.Invert();
  else
    area_.Invert();
}

void MainWindow::ChangeDrive() {
  const auto chosen =
      ChooseDrive(app_, AvailableDrives(), DriveOf(directory_.Directory()).RootPath());
  if (!chosen) return;
  if (!ShowDirectory(*chosen)) {
    ShowError(app_, Cp866("Не могу войти в каталог"));
    return;
  }
  Focus(directory_);
}

void MainWindow::RunUtility(int number) {
  const auto& utilities = ctx_.settings.externalUtilities;
  if (number < 1 || number > static_cast<int>(utilities.size())) return;
  const ExternalUtility& utility = utilities[static_cast<size_t>(number - 1)];
  const DirectoryEntry* entry = directory_.CursorEntry();
  const std::string listedName = entry != nullptr ? entry->name : "";
  // The panel shows a name without an extension with a dot after it; the utility gets the
  // name the file has.
  std::string fileName = listedName;
  if (entry != nullptr && !entry->isDirectory && fileName.ends_with('.') &&
      !FileExists(directory_.PathOf(fileName)) &&
      FileExists(directory_.PathOf(fileName.substr(0, fileName.size() - 1))))
    fileName.pop_back();
  std::string areaWord;
  if (area_.CursorArea() != 0) {
    const std::string& name = ctx_.areas.At(area_.CursorArea()).displayName;
    areaWord = name.substr(0, name.find(' '));
  }
  std::string line = BuildUtilityCommand(utility.command, fileName, areaWord);
  if (utility.RunOptions & ExternalUtility::kParamDlg) {
    auto edited = AskUtilityParameters(app_, utility, line, hc::kUtility + number);
    if (!edited) return;
    line = std::move(*edited);
  }
  RunUtilityCommand(app_, ctx_.console, utility, line, directory_.Directory());
  RereadDirectory();
}

}  // namespace vm::shell
