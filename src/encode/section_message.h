// One section's message: the header from the queue entry, the user's template with its macros
// and directives, the section body, and the MSGID and PID kludges.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"
#include "encode/random_line.h"
#include "encode/section_layout.h"
#include "msgbase/message_base.h"
#include "platform/host.h"
#include "state/msgid_serial.h"
#include "state/queue_entry.h"

namespace vm {

// What every section message of a run draws on besides its queue entry.
struct PostingEnvironment {
  PostingEnvironment(const Settings& settings, MsgIdSerialSource& serials)
      : settings(settings), serials(serials) {}

  const Settings& settings;           // HSUBST, the archivers
  std::string defaultToName = "All";  // TONAME
  std::string workDirectory;          // FILE_ID unpacks file_id.diz here
  MsgIdSerialSource& serials;
  RandomPick pick = ClockSeededPick();
  std::function<DateTime()> clock = LocalNow;  // the messages' date and time
  // The user's text for CUSTOMTEXT (CR LF between lines); unset from the command line, where
  // the directive writes nothing.
  std::function<std::string()> userText;
};

// The lines of the user's text as the message gets them: a CR or an LF ends a line (the other
// half of a CR LF pair is skipped), a last unfinished line counts too, lines longer than a
// message line are continued on the next one, and with HSUBST the three look-alike letters
// are replaced.
std::vector<std::string> UserTextLines(std::string_view text, bool hsubst);

// The template's lines (CR LF or LF line ends), each cut at 255; nothing when the file cannot
// be read.
std::optional<std::vector<std::string>> ReadTemplate(std::string_view path);

// Whether the template has the SECTION line that carries the file; without one every message
// goes out without it.
bool TemplateCarriesFile(const std::vector<std::string>& templateLines);

struct SectionMessage {
  bool finished = true;      // the file needs no further section
  bool carriedFile = false;  // the message holds a section of the file
  uint16_t writeResult = 0;  // of WriteMessage; the section was not posted unless 0
};

// Composes and writes the message of the section at the entry's offset. The entry's offset
// and file sum move on with the section (the caller puts them back when the write failed).
// Without a template (the entry's no-template bit) the message holds only the section body.
// A template without a SECTION line posts no section and counts the file as finished.
SectionMessage BuildSectionMessage(QueueEntry& entry, PostedFile& file,
                                   const std::vector<std::string>& templateLines, bool netmail,
                                   MessageBase& base, PostingEnvironment& environment);

}  // namespace vm
