// The first VELDMARK.CTL, written by the installation: every keyword with comments that say
// what it does, and the values the installation found or was told.
#pragma once

#include <string>

namespace vm {

// The echo processor's configuration files and the Hudson base (program paths, CP866);
// empty when not found or not chosen.
struct MessageBasePaths {
  std::string HUDSONPATH;
  std::string AREASPATH;
  std::string SQUISHPATH;
  std::string FASTECHOCFG;
  std::string TERMINATECFG;
};

struct FirstSettings {
  std::string NAME;
  std::string ADDRESS;  // normalised text form
  std::string TEMP;     // the directory for temporary files on this machine
  std::string ROOT;     // empty: not given
  MessageBasePaths bases;
};

// The file's text: CP866 lines ending in CR LF. A path line whose value is empty, or could not
// be read back as one word (it holds a blank, a quote, a comma ...), is written commented out.
std::string FirstSettingsFileText(const FirstSettings& values);

}  // namespace vm
