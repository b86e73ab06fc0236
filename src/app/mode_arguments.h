// The argument checks of /Encode and /Open. A bad argument stops the run through FatalExit
// with the message the user knows.
#pragma once

#include <optional>
#include <string>

#include "app/command_line.h"
#include "config/area_table.h"
#include "config/settings.h"
#include "state/queue_entry.h"

namespace vm {

// /Encode <file> <Text|UU|XX|MIME> <area> <recipient> [address] [-Immed] [-Del] [-NoTxtHead]
struct EncodeRequest {
  std::string filePath;    // the file as the queue gets it: from StartDir unless absolute
  std::string postedName;  // file name and extension, upper-cased, made fit for posting
  int area = 0;            // index into the area table
  std::string recipient;
  std::string destination;  // address text; the own ADDRESS when none was written
  EncodeFlags flags = 0;    // the defaults with the encoding and the switches applied
};

// Checks, in this order: the file opens, the area exists, the encoding word, the address.
EncodeRequest CheckEncodeArguments(const CommandLine& commandLine, const Settings& settings,
                                   const AreaTable& areas, const std::string& startDir,
                                   EncodeFlags defaultFlags);

// /Open <area> [recipient words] [address]
struct OpenRequest {
  int area = 0;
  std::optional<std::string> recipient;    // set when words follow the area tag
  std::optional<std::string> destination;  // address text, when one was written
};

OpenRequest CheckOpenArguments(const CommandLine& commandLine, const Settings& settings,
                               const AreaTable& areas);

// The area of /Decode and /Open: argument 2, or a stop with "Область ... не найдена".
int FindAreaOrStop(const CommandLine& commandLine, const AreaTable& areas);

}  // namespace vm
