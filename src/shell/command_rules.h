// Which of the shell's commands the panels' state enables.
#pragma once

namespace vm::shell {

struct PanelFacts {
  bool directoryActive = true;
  bool cursorOnFile = false;  // directory panel: the cursor entry is a file
  int directorySelected = 0;
  bool areaOpened = false;
  bool onExitRow = false;
  int foundSelected = 0;
  bool textFile = false;  // the area panel shows a scanned text file
};

struct CommandStates {
  bool encode = false;
  bool decode = false;
  bool remove = false;
  bool deCode = false;  // F5
  bool information = false;
};

CommandStates EnabledCommands(const PanelFacts& facts);

}  // namespace vm::shell
