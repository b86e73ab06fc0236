// What the area scan and the decoders of one run share: the settings, the run state, the
// console and log, and the shell's dialogs when there is a windowed shell.
#pragma once

#include "decode/decode_dialogs.h"
#include "decode/decode_run_state.h"

namespace vm {

class Console;
class RunLog;
struct Settings;

struct DecodeSession {
  const Settings& settings;
  DecodeRunState& state;
  Console& console;
  const RunLog& log;
  DecodeDialogs* dialogs = nullptr;  // the windowed shell's; nullptr in unattended runs

  bool Unattended() const { return dialogs == nullptr; }
  // Whether the user pressed Space or Esc: in the shell through its dialogs, unattended only
  // when a terminal is attached (a run from cron or a tosser's hook never reads stdin).
  bool AbortKeyPressed() const;
};

}  // namespace vm
