// The state the program keeps between runs in its three state files, held in memory for the
// whole run. The program's main owns one RunState and passes it by reference.
#pragma once

#include <string>
#include <vector>

#include "state/calendar_date.h"
#include "state/history.h"
#include "state/msgid_serial.h"
#include "state/queue_entry.h"

namespace vm {

// The encode dialog's last values; they start the next posting (and the next run).
struct EncodeDefaults {
  std::string fromName;  // last "from" name
  std::string toName = "All";
  std::string fromAddress;  // text form
  std::string toAddress;    // text form, may be empty
  EncodeFlags flags = kEncodeUu;
  std::string panelDirectory;  // the directory the shell's file panel shows at start
};

struct RunState {
  CalendarDate lastRun;  // 0 0 0 until the start-up sets today's date
  EncodeDefaults defaults;
  std::vector<std::string> nameHistory;     // input-line history 1 of the dialogs
  std::vector<std::string> addressHistory;  // input-line history 2
  SendQueue queue;
  HistoryList history;
  MsgIdSerialSource serials;  // of the report and the posted sections
};

}  // namespace vm
