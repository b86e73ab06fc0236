// A temporary node for whole-program decoding runs: areas filled with postings through the
// program's own message bases, settings written per test, and the results read back.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "decode/posting_builder.h"
#include "msgbase/message_base.h"
#include "platform/process.h"
#include "support/crashmail_node.h"
#include "support/e2e_program.h"
#include "support/fidonet_packet.h"
#include "text/cp866.h"

namespace vm::test {

namespace fs = std::filesystem;

// Who posted: the names go into the header, the address into the origin line.
struct Poster {
  std::string name = "Alexander Ivanov";
  std::string address = "2:5030/7";
  std::string date = "03-01-26";
  std::vector<std::string> kludges;  // put into every message, each with its leading 0x01
};

// The kinds of base the node's RU.FILES can be: the letter of its area id and the word of its
// AREA line.
struct BaseKind {
  char letter;
  const char* keyword;
};
inline constexpr BaseKind kMsgBase{'F', "MSG"};
inline constexpr BaseKind kSquishBase{'S', "SQUISH"};
inline constexpr BaseKind kJamBase{'J', "JAM"};

class DecodeNode {
 public:
  // settingsLines: VELDMARK.CTL lines after NAME and ADDRESS (2:5020/100), UTF-8. The node has
  // the area RU.FILES (areas/rufiles: the directory of *.MSG files, or the name of the Squish
  // or JAM base), a log (VELDMARK.LOG), and ROOT "FILES" unless the lines name another.
  explicit DecodeNode(std::vector<std::string> settingsLines = {},
                      const std::string& areaDefinitions = ";", BaseKind ruFiles = kMsgBase)
      : ruFiles_(ruFiles), node_(WithDefaults(std::move(settingsLines), ruFiles)) {
    node_.dir().MakeDirectory("areas/rufiles");
    node_.dir().WriteFile("AREADEFS.CTL", Utf8ToCp866(areaDefinitions) + "\r\n");
  }

  const E2eNode& node() const { return node_; }
  std::string Path(const std::string& relative) const { return node_.dir() / relative; }
  std::string Read(const std::string& relative) const { return node_.Read(relative); }
  std::string ReadUtf8(const std::string& relative) const {
    return Cp866ToUtf8(node_.Read(relative));
  }
  bool Exists(const std::string& relative) const { return node_.Exists(relative); }
  // The areas the tests add besides RU.FILES are *.MSG areas.
  std::string AreaId(const std::string& area) const {
    return (area == "rufiles" ? ruFiles_.letter : 'F') + Path("areas/" + area);
  }

  // One message with the text lines (CP866), an origin line with the poster's address last.
  int32_t Write(const std::string& area, const Poster& poster, const std::string& subject,
                const Lines& lines) {
    MessageBaseHandle base;
    EXPECT_TRUE(OpenOrCreateMessageArea(AreaId(area), base));
    if (!base) return 0;
    base->StartNewMessage();
    base->SetMailKind(MailKind::Echomail);
    base->SetFromName(poster.name);
    base->SetToName("All");
    base->SetSubject(subject);
    base->SetDateText(poster.date);
    base->SetTimeText("10:00");
    for (const std::string& kludge : poster.kludges) base->PutKludge(kludge);
    for (const std::string& line : lines) base->PutLine(line);
    base->PutLine("--- test");
    base->PutLine(" * Origin: Test BBS (" + poster.address + ")");
    EXPECT_EQ(base->WriteMessage(), 0);
    const int32_t number = base->HighActiveNumber();
    CloseMessageArea(base);
    return number;
  }

  // Each section in a message of its own; returns the message numbers.
  std::vector<int32_t> Post(const std::string& area, const Poster& poster,
                            const std::vector<Lines>& sections,
                            const std::string& subject = "Files") {
    std::vector<int32_t> numbers;
    for (const Lines& section : sections) {
      Lines lines{"Hello All,", ""};
      lines.insert(lines.end(), section.begin(), section.end());
      numbers.push_back(Write(area, poster, subject, lines));
    }
    return numbers;
  }

  ProgramRun Run(const std::vector<std::string>& arguments) const {
    return RunInNode(node_, arguments);
  }

  // Every file of the area dated a minute back, as a tosser that finished a while ago leaves
  // them: a scan never resumes past a *.MSG file written within the last second.
  void AgeMessages(const std::string& area) const {
    for (const auto& entry : fs::directory_iterator(Path("areas/" + area)))
      fs::last_write_time(entry.path(),
                          fs::last_write_time(entry.path()) - std::chrono::minutes(1));
  }

  // Message numbers of the area's *.msg files, ascending.
  std::vector<int32_t> Messages(const std::string& area) const {
    std::vector<int32_t> numbers;
    for (const auto& entry : fs::directory_iterator(Path("areas/" + area))) {
      const std::string name = entry.path().filename().string();
      if (entry.path().extension() == ".msg") numbers.push_back(std::stoi(name));
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
  }

  // The text lines of a message as a reader sees them (kludges included).
  Lines MessageLines(const std::string& area, int32_t number) const {
    Lines lines;
    MessageBaseHandle base;
    if (!OpenMessageArea(AreaId(area), base)) return lines;
    base->SeekFrom(number);
    if (base->Found() && base->MessageNumber() == number) {
      base->LoadHeader();
      base->StartReading();
      while (!base->TextEnded()) {
        std::string line = base->NextLine(255);
        if (line.empty() && base->TextEnded()) break;
        lines.push_back(Cp866ToUtf8(line));
      }
    }
    CloseMessageArea(base);
    return lines;
  }

 private:
  static std::vector<std::string> WithDefaults(std::vector<std::string> lines, BaseKind ruFiles) {
    bool root = false;
    for (const std::string& line : lines) root = root || line.rfind("ROOT ", 0) == 0;
    if (!root) lines.push_back("ROOT FILES");
    lines.push_back("LOGPATH VELDMARK.LOG");
    lines.push_back(std::string("AREA ") + ruFiles.keyword + " RU.FILES areas\\rufiles");
    return lines;
  }

  BaseKind ruFiles_;
  E2eNode node_;
};

// crashmail as the node's tosser: 2:5020/100 fed by 2:5020/1, RU.FILES being the node's
// areas/rufiles in the format given ("MSG" or "JAM").
inline CrashmailSetup NodeTosser(const DecodeNode& node, std::string binary, const char* format) {
  CrashmailSetup setup;
  setup.binary = std::move(binary);
  setup.aka = NetAddress{2, 5020, 100, 0};
  setup.uplink = NetAddress{2, 5020, 1, 0};
  setup.sysop = "Ivan Petrov";
  setup.areas = {TosserArea{"RU.FILES", format, node.Path("areas/rufiles")}};
  return setup;
}

// A packet for the node's tosser with a posting in RU.FILES from 2:5030/7: a plain welcome
// message, then each section after a line of text in a message of its own, subject
// "NAME [n/total]", every message with a MSGID and the other kludges given (without 0x01).
inline Packet PostingPacket(const std::vector<Lines>& sections, const std::string& name,
                            const std::vector<std::string>& kludges = {}) {
  const NetAddress uplink{2, 5020, 1, 0};
  Packet packet;
  packet.orig = uplink;
  packet.dest = NetAddress{2, 5020, 100, 0};
  std::vector<std::string> texts{"Welcome to RU.FILES.\r"};
  for (const Lines& section : sections) {
    std::string text = "Here is the archive.\r\r";
    for (const std::string& line : section) text += line + "\r";
    texts.push_back(text);
  }
  const std::string total = std::to_string(sections.size());
  for (size_t n = 0; n < texts.size(); ++n) {
    char dateTime[48], msgid[48];
    std::snprintf(dateTime, sizeof dateTime, "01 Mar 26  10:%02zu:00", n % 60);
    std::snprintf(msgid, sizeof msgid, "MSGID: 2:5030/7 %08zx", n + 1);
    PacketMessage m;
    m.orig = uplink;
    m.dest = packet.dest;
    m.dateTime = dateTime;
    m.fromName = "Alexander Ivanov";
    m.toName = "All";
    m.subject = n == 0 ? "Welcome" : name + " [" + std::to_string(n) + "/" + total + "]";
    std::vector<std::string> all{msgid};
    all.insert(all.end(), kludges.begin(), kludges.end());
    m.body = EchomailBody("RU.FILES", all, texts[n], NetAddress{2, 5030, 7, 0});
    packet.messages.push_back(m);
  }
  return packet;
}

// A zip archive holding FILE_ID.DIZ (two lines) and some data; empty when zip is missing.
inline std::string ZipWithFileIdDiz(const ScopedTempDir& scratch, size_t dataSize = 3000) {
  if (!fs::exists("/usr/bin/zip")) return std::string();
  scratch.WriteFile("zip/FILE_ID.DIZ", "Test archive v1.0\r\nSecond line\r\n");
  scratch.WriteFile("zip/DATA.BIN", TestBytes(dataSize, 7));
  RunCommand("cd %1 && zip -q -X -0 %2 FILE_ID.DIZ DATA.BIN", {scratch / "zip", scratch / "a.zip"},
             {.hideOutput = true});
  return scratch.ReadFile("a.zip");
}

// Lines of a text with CR LF ends.
inline Lines CrLfLines(const std::string& text) {
  Lines lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

inline bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace vm::test
