// A real tosser beside the tests: crashmail with a prefs file and its inbound, outbound,
// packet, netmail and BAD directories in a scratch directory of its own, fed packets to toss
// and asked to scan areas out; the packets it leaves are read back.
#pragma once

#include <string>
#include <vector>

#include "support/fidonet_packet.h"
#include "support/platform_temp_dir.h"
#include "text/net_address.h"

namespace vm {

// Debian's crashmail (sound for *.MSG areas), or empty when it is not installed.
std::string DebianCrashmail();
// The crashmail rebuilt with unsigned chars that JAM areas need (Debian's binary corrupts
// them), named by VELDMARK_CRASHMAIL_JAM; empty when unset or not executable.
std::string JamCrashmail();

struct TosserArea {
  std::string tag;
  std::string format;     // "MSG" or "JAM"
  std::string path;       // the *.MSG directory or the JAM base name; a relative path is taken
                          // from the crashmail node's directory
  bool exported = false;  // SCAN sends the area's local messages to the uplink
};

struct CrashmailSetup {
  std::string binary;
  NetAddress aka{2, 5020, 9999, 0};  // the node crashmail works for
  NetAddress uplink{2, 5020, 1, 0};  // the one node it knows; netmail is routed through it
  std::string sysop = "Test Sysop";
  std::vector<TosserArea> areas;  // besides NETMAIL and BAD
};

class CrashmailNode {
 public:
  // Makes the directories (the areas' too) and writes the prefs file.
  explicit CrashmailNode(CrashmailSetup setup);

  const ScopedTempDir& dir() const { return dir_; }
  // Where crashmail keeps netmail and BAD messages (*.MSG directories).
  std::string NetmailPath() const { return dir_ / "net"; }
  std::string BadPath() const { return dir_ / "bad"; }

  // Runs crashmail with the prefs file and the words (each passed as one argument); its exit
  // status. What it prints goes to the file that Diagnostics shows.
  int Run(const std::vector<std::string>& words) const;
  // Puts the packet into the inbound and tosses it: true when crashmail succeeded and took
  // the packet.
  bool Toss(const Packet& packet);
  // The messages of every packet crashmail left in its packet directory and outbound, the
  // packets removed as read. It names packets from the clock, so each run's packets are to be
  // taken before the next run.
  std::vector<PacketMessage> TakeExported() const;
  // crashmail's log and printed output, for failure messages.
  std::string Diagnostics() const;

 private:
  CrashmailSetup setup_;
  ScopedTempDir dir_;
  int packets_ = 0;
};

}  // namespace vm
