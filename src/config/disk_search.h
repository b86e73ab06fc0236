// The installation's search of a drive for the echo processor's configuration, the GoldEd
// configuration and a Hudson message base.
#pragma once

#include <string>

#include "config/first_settings_file.h"
#include "platform/console.h"
#include "platform/drive_walk.h"

namespace vm {

struct DiskSearchResult {
  MessageBasePaths bases;  // what the user chose (a later Y replaces an earlier one)
  std::string goldEdDir;   // the directory of the last GOLDED.CFG found, with its separator
};

// Walks the drive depth first, showing each entry's path on one progress line. TM.CFG,
// AREAS.BBS, SQUISH.CFG and FASTECHO.CFG are offered with a Y/N question; GOLDED.CFG and
// MSGTXT.BBS are taken as found. Esc or the space bar, polled before each directory, stops the
// walk; what was chosen until then stays. Directories that cannot be read are passed over;
// symbolic links to directories and the kernel's directories are not entered.
DiskSearchResult SearchDisk(const HostDrive& drive, Console& console);

}  // namespace vm
