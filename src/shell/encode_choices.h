// What the encode dialog and its advanced dialog hold, field by field, and how it maps to and
// from the EncodeFlags of a queue entry.
#pragma once

#include <cstdint>
#include <string>

#include "state/queue_entry.h"

namespace vm::shell {

// The check boxes of the encode dialog.
enum EncodeOption : uint32_t {
  kOptionFileInformation = 1,
  kOptionDeleteAfterSending = 2,
  kOptionFileIdDiz = 4,
  kOptionInsertText = 8,
  kOptionCompress = 16,
};
// The radio buttons of the encoding, in their order.
enum EncodingChoice : int { kChoiceUu = 0, kChoiceXx = 1, kChoiceMime = 2, kChoiceText = 3 };
// The send modes of the advanced dialog.
enum SendModeChoice : int { kModeAsUsual = 0, kModeImmediately = 1, kModeOverride = 2 };

struct EncodeChoices {
  // The encode dialog.
  std::string toName;
  std::string toAddress;
  std::string fromName;
  std::string fromAddress;
  uint32_t options = 0;  // EncodeOption bits
  int encoding = kChoiceText;
  std::string subject;
  // The advanced dialog.
  std::string postedName;
  std::string sections;     // section numbers separated by blanks
  uint32_t attributes = 0;  // Private 1, Crash 2, Kill/Sent 4, Confirm 8, Return 16, Hold 32
  std::string linesPerSection;
  bool noTemplate = false;
  int sendMode = kModeAsUsual;
  std::string sectionsPerDay;
};

// The flags a posting with these choices carries. Without a template there is no place for
// the user's text, so the insert-text bit is dropped.
EncodeFlags FlagsFromChoices(const EncodeChoices& choices);
// The options (compress unticked), the encoding (none of UU, XX, MIME: text) and the
// attributes as the flags give them; the other fields are left as they are.
void SetChoicesFromFlags(EncodeFlags flags, EncodeChoices& choices);

}  // namespace vm::shell
