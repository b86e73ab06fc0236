// The main window's posting: the files of the directory panel into the send queue, the
// send-queue window, and the queue run with the opened area closed meanwhile.
#include "config/area_table.h"
#include "encode/queue_runner.h"
#include "platform/file_system.h"
#include "platform/host.h"
#include "shell/box_console.h"
#include "shell/main_window.h"
#include "shell/queue_window.h"
#include "shell/shell_queue_dialogs.h"
#include "state/queue_file.h"
#include "state/run_state.h"

namespace vm::shell {

namespace {

// The panel shows a name without a dot with one added; the file on the disk has none.
std::string DiskName(const DirectoryPanel& panel, const std::string& shown) {
  if (shown.size() > 1 && shown.back() == '.' && !FileExists(panel.PathOf(shown)))
    return shown.substr(0, shown.size() - 1);
  return shown;
}

}  // namespace

void MainWindow::PostFiles() {
  std::vector<FileToPost> files;
  for (const DirectoryEntry* entry : directory_.Targets())
    files.push_back(FileToPost{DiskName(directory_, entry->name), entry->size});
  const int index = openArea_ > 0 ? openArea_ : area_.CursorArea();
  const AreaEntry* area = index > 0 ? &ctx_.areas.At(index) : nullptr;
  if (encode_.Run(files, directory_.SelectedCount() > 0, area, directory_.Directory()))
    RunSendQueue();
  else
    RereadDirectory();  // a packer may have run, and the files may have changed meanwhile
}

void MainWindow::ShowQueueWindow() {
  RunQueueWindow(app_, ctx_.state.queue, ctx_.areas);
  RunSendQueue();
}

void MainWindow::RunSendQueue() {
  const bool reopen = base_ != nullptr;
  CloseMessageArea(base_);
  {
    ShellQueueDialogs dialogs(app_);
    BoxConsole console(app_);
    QueueProgressFile progress(ctx_.paths);
    QueueRun run{ctx_.state,
                 ctx_.areas,
                 ctx_.settings,
                 ctx_.paths,
                 console,
                 DateOf(LocalNow()),
                 [&] { progress.Save(ctx_.state); },
                 &dialogs};
    run.log = &ctx_.log;
    ProcessQueue(run);
  }
  if (reopen) {
    // The new messages appear in the opened area.
    AreaEntry& area = openArea_ > 0 ? ctx_.areas.At(openArea_) : textFileArea_;
    if (OpenAndScan(basePath_, area))
      area_.CatalogueChanged();
    else
      CloseArea();
  }
  // Posted files may have been deleted; the selection is over.
  RereadDirectory();
}

}  // namespace vm::shell
