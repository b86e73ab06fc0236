// The run-wide values of VELDMARK.CTL.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "text/net_address.h"

namespace vm {

struct ArchiverEntry {
  std::string extension;  // at most 3 characters, upper-cased
  std::string command;    // at most 200 characters; %1 archive, %2 file in it, %3 target dir
};

struct ExternalUtility {
  enum : uint32_t { kParamDlg = 1, kPause = 2, kHideScreen = 4 };
  std::string title;    // at most 30 characters, "~" marks the hot letter
  std::string keyName;  // at most 8 characters
  uint32_t keyCode = 0;
  std::string command;
  uint32_t RunOptions = 0;
};

enum class ReceiveMode : uint8_t { Standard = 1, Advanced = 2 };
enum class DupesPolicy : uint8_t { Delete = 0, Move = 1, Overwrite = 2 };
enum class FilesBbsMode : uint8_t { Off = 0, Append = 1, Rewrite = 2 };
enum class SortAreasMode : uint8_t { Unsorted = 0, Type = 1, Name = 2 };

// The program's directories, fixed at start-up (program texts, CP866).
struct ProgramPaths {
  std::string ProgramDir;  // ends in a separator; settings and state files live here
  // No trailing separator; the process's working directory, which the program never changes:
  // relative paths of the settings and the command line are taken from here.
  std::string StartDir;
  std::string TempDir;        // ends in a separator; $TEMP, the current directory, or TEMP
  std::string ExecutableDir;  // ends in a separator; where the running program file lies
  // An installed copy's shared files (the example template, the help): ExecutableDir's
  // ../share/veldmark/, ending in a separator; empty when there is none, as in a build tree.
  std::string ShareDir;
};

struct Settings {
  static constexpr size_t kTableLimit = 10;

  bool USEID = false;
  std::string FASTECHOCFG;
  std::string TEMPPATH;  // with trailing backslash when set
  ReceiveMode RECEIVEMODE = ReceiveMode::Standard;
  bool DELETEDECODED = false;
  DupesPolicy DUPES = DupesPolicy::Delete;
  bool DELETEBAD = false;
  bool SHOWHIDDEN = false;
  bool DECODEYOURS = false;
  bool HEADERS = false;
  bool SORTAREAFILES = false;
  bool ALLFIXFILESBBS = false;
  bool HSUBST = true;
  bool EXTRACTXCK = false;
  bool LONGFILENAMES = false;
  bool HIDEARC = false;
  SortAreasMode SORTAREAS = SortAreasMode::Unsorted;
  std::string REPORTAREA;
  std::string NAME;
  std::string ADDRESS;  // normalised text form
  NetAddress address;   // ADDRESS parsed
  std::string LOGPATH;
  std::string HUDSONPATH;  // with trailing backslash when set
  std::string PACKER;
  std::string ROOT;  // without trailing backslash
  std::string SWAPPING;
  FilesBbsMode FILESBBS = FilesBbsMode::Append;
  int32_t LINESPERSEC = 120;
  int32_t HEADERLINES = 2147483647;
  std::string TERMINATECFG;
  std::string SQUISHPATH;
  std::string AREASPATH;
  std::vector<ArchiverEntry> archivers;
  std::vector<NetAddress> akas;
  std::vector<ExternalUtility> externalUtilities;

  int32_t bytesPerSection = 120 * 45;  // LINESPERSEC x 45
  // The address parsed last (ADDRESS, AKA or an AREAS.BBS link): it supplies the parts that
  // a later address leaves out.
  NetAddress lastParsedAddress;
};

}  // namespace vm
