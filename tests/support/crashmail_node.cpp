#include "support/crashmail_node.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/process.h"

namespace vm {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDebianCrashmail = "/usr/bin/crashmail";

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string DebianCrashmail() {
  return ::access(kDebianCrashmail, X_OK) == 0 ? kDebianCrashmail : "";
}

std::string JamCrashmail() {
  const char* path = std::getenv("VELDMARK_CRASHMAIL_JAM");
  return path && ::access(path, X_OK) == 0 ? path : "";
}

CrashmailNode::CrashmailNode(CrashmailSetup setup) : setup_(std::move(setup)) {
  for (const char* sub : {"in", "out", "tmp", "pkt", "net", "bad"}) dir_.MakeDirectory(sub);
  const std::string uplink = FormatNetAddress(setup_.uplink);
  const std::string aka = FormatNetAddress(setup_.aka);
  // crashmail wants every path absolute.
  std::vector<std::string> lines{
      "SYSOP " + Quoted(setup_.sysop),
      "LOGFILE " + Quoted(dir_ / "crashmail.log"),
      "LOGLEVEL 6",
      "DUPEFILE " + Quoted(dir_ / "dupes") + " 200",
      "DUPEMODE BAD",
      "INBOUND " + Quoted(dir_ / "in"),
      "OUTBOUND " + Quoted(dir_ / "out"),
      "TEMPDIR " + Quoted(dir_ / "tmp"),
      "PACKETDIR " + Quoted(dir_ / "pkt"),
      "STATSFILE " + Quoted(dir_ / "stats"),
      "AKA " + aka,
      "NODE " + uplink + " \"\" \"\"",
      "ROUTE " + Quoted(uplink) + " " + Quoted(uplink) + " " + aka,
      "NETMAIL \"NETMAIL\" " + aka + " MSG " + Quoted(NetmailPath()),
      "AREA \"BAD\" " + aka + " MSG " + Quoted(BadPath()),
  };
  for (TosserArea& area : setup_.areas) {
    if (area.path.empty() || area.path[0] != '/') area.path = dir_ / area.path;
    fs::create_directories(area.format == "JAM" ? fs::path(area.path).parent_path()
                                                : fs::path(area.path));
    lines.push_back("AREA " + Quoted(area.tag) + " " + aka + " " + area.format + " " +
                    Quoted(area.path));
    if (area.exported) lines.push_back("EXPORT " + uplink);
  }
  std::string prefs;
  for (const std::string& line : lines) prefs += line + "\n";
  dir_.WriteFile("prefs", prefs);
}

int CrashmailNode::Run(const std::vector<std::string>& words) const {
  std::string command = "%1 SETTINGS %2";
  std::vector<std::string> arguments{setup_.binary, dir_ / "prefs"};
  for (const std::string& word : words) {
    arguments.push_back(word);
    command += " %" + std::to_string(arguments.size());
  }
  arguments.push_back(dir_ / "output");
  command += " </dev/null >>%" + std::to_string(arguments.size()) + " 2>&1";
  return RunCommand(command, arguments);
}

bool CrashmailNode::Toss(const Packet& packet) {
  // Only names of eight characters with a lower-case ".pkt" are tossed.
  char name[32];
  std::snprintf(name, sizeof name, "in/%08x.pkt", ++packets_);
  dir_.WriteFile(name, WritePacket(packet));
  return Run({"TOSSDIR", dir_ / "in", "NOSECURITY"}) == 0 && !dir_.Exists(name);
}

std::vector<PacketMessage> CrashmailNode::TakeExported() const {
  std::vector<PacketMessage> messages;
  for (const char* sub : {"pkt", "out"}) {
    for (const auto& entry : fs::recursive_directory_iterator(dir_ / sub)) {
      const std::string extension = entry.path().extension().string();
      if (!entry.is_regular_file() || (extension != ".pkt" && extension != ".out")) continue;
      const std::string relative = fs::relative(entry.path(), dir_.path()).string();
      std::optional<Packet> packet = ReadPacket(dir_.ReadFile(relative));
      EXPECT_TRUE(packet) << entry.path() << " is not a packet";
      if (packet) messages.insert(messages.end(), packet->messages.begin(), packet->messages.end());
      fs::remove(entry.path());
    }
  }
  return messages;
}

std::string CrashmailNode::Diagnostics() const {
  return "crashmail printed:\n" + dir_.ReadFile("output") + "\ncrashmail's log:\n" +
         dir_.ReadFile("crashmail.log");
}

}  // namespace vm
