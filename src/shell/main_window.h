// The main window: a group of the directory panel on the left and the area panel on the right
// (Tab and a click move the focus between them), the keys that act on the panels' entries, the
// quick search, and the shell's commands.
#pragma once

#include <string>
#include <vector>

#include "config/area_table.h"
#include "decode/area_scan.h"
#include "decode/decode_run_state.h"
#include "decode/found_file.h"
#include "decode/section_decoders.h"
#include "msgbase/message_base.h"
#include "shell/area_panel.h"
#include "shell/command_rules.h"
#include "shell/directory_panel.h"
#include "shell/encode_command.h"
#include "shell/prompts.h"
#include "shell/shell_context.h"
#include "shell/shell_dialogs.h"
#include "tui/application.h"
#include "tui/group.h"

namespace vm::shell {

class MainWindow : public tui::Group {
 public:
  // directory: where the directory panel starts (an absolute program path).
  MainWindow(tui::Application& app, const ShellContext& context, std::string directory);
  ~MainWindow() override;

  void Layout(const tui::Rect& desktop) override;
  void HandleEvent(tui::Event& event) override;

  // Reads the panel's directory into the directory panel (a message when it held too much).
  void ReadDirectory();
  // Reads it again, the cursor staying on its entry (or its row when the entry is gone).
  void RereadDirectory();
  // The start-up: Home on the directory panel, or the /Open area scanned in the area panel.
  void QueueStart(int openArea);
  // Enables and disables the commands by the panels' state; sets the console title.
  void Refresh();

  DirectoryPanel& Directory() { return directory_; }
  AreaPanel& Areas() { return area_; }
  PanelFacts Facts() const;
  // Whether the directory panel has the focus (else the area panel has it).
  bool DirectoryActive() const { return Focused() == &directory_; }

 private:
  // Keys.
  void HandleKey(int key);
  bool HandleSearchKey(int key);
  void Search(unsigned char c);
  void Enter();
  void EnterDirectory(const DirectoryEntry& entry);
  void ScanTextFile(const DirectoryEntry& entry);
  void OpenArea(int index);
  void CloseArea();
  // Opens the base and scans it from the start into the catalogue; false when it cannot open.
  bool OpenAndScan(const std::string& areaId, AreaEntry& area);
  void GoToRoot();
  // Makes the directory the panel's, when it can be entered, and reads it; false otherwise.
  bool ShowDirectory(std::string_view directory);

  // Commands (shell_commands.cpp).
  // Carries out a command of the menu, the status line or a bound key.
  void ExecuteMenuCommand(int command);
  void AskQuit();
  void Decode();
  void Delete();
  void DeleteDirectoryFiles();
  void DeleteFoundFiles();
  void Information();
  void SelectByMask(bool select);
  void Invert();
  void ChangeDrive();
  void Encode();
  // Runs user utility `number` (from 1) of the settings.
  void RunUtility(int number);
  // Posting (main_window_posting.cpp).
  void PostFiles();
  void ShowQueueWindow();
  // Runs the send queue with its wait box; an open area is closed meanwhile and rescanned.
  void RunSendQueue();
  void RememberDecoded(const FoundFile& file);
  void NoAreasNotice();
  void Rescan();

  tui::Application& app_;
  ShellContext ctx_;
  ShellDialogs dialogs_;
  DirectoryPanel& directory_;
  FoundFileCatalogue catalogue_;
  AreaPanel& area_;
  std::string search_;
  std::string lastMask_ = "*.*";
  std::string title_;

  MessageBaseHandle base_;
  std::string basePath_;    // the opened area's id, or "T" + the text file's full name
  int openArea_ = 0;        // the opened area's index, 0 for a text file or none
  AreaEntry textFileArea_;  // what the scan of a text file is told about its "area"
  DecodeRunState decodeState_;
  FileDecodeWork work_;
  BoxPrompts prompts_;
  EncodeCommand encode_;
};

}  // namespace vm::shell
