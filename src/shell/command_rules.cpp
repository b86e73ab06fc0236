#include "shell/command_rules.h"

namespace vm::shell {

CommandStates EnabledCommands(const PanelFacts& facts) {
  CommandStates states;
  if (facts.directoryActive) {
    if (facts.cursorOnFile || facts.directorySelected > 0)
      states.encode = states.remove = states.deCode = states.information = true;
  } else if (!facts.areaOpened) {
    states.information = true;
  } else if (!facts.onExitRow || facts.foundSelected > 0) {
    states.decode = states.remove = states.deCode = states.information = true;
    if (facts.textFile) states.remove = false;
  }
  return states;
}

}  // namespace vm::shell
