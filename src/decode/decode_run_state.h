// The run-wide state that the recogniser, the area scan and the decoders share. One object per
// run (or per test), passed by reference.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "text/encoding_kind.h"

namespace vm {

struct DecodeRunState {
  // The encoding that data-line tests and the decoders work with; set by the UU/XX
  // look-ahead and at the start of every file decode.
  EncodingKind CurrentDataKind = EncodingKind::None;
  // Lines read so far in the current message (the scan and the UU/XX look-ahead count).
  int32_t MessageLineCounter = 0;
  // Space or Esc was pressed during a scan or decode.
  bool abortPending = false;
  // Set while a scan runs and left set when it was aborted.
  bool scanInterrupted = false;
  // Damaged message files already reported to the log in this run.
  std::set<std::string> damagedMessagesLogged;
};

}  // namespace vm
