// Writes the seed corpora of the fuzz entry points, one directory per entry point, with the
// builders the tests use: bases written through the message base code or byte by byte,
// FASTECHO.CFG, postings, and the example node's settings. Each seed is laid out as its entry
// point reads its input. Usage: fuzz_seeds OUTDIR
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/area_readers.h"
#include "config/fastecho_builder.h"
#include "decode/posting_builder.h"
#include "fuzz/fuzz_base_walk.h"
#include "fuzz/fuzz_file_set.h"
#include "msgbase/fido_message_file.h"
#include "msgbase/jam_fixture.h"
#include "msgbase/squish_test_support.h"
#include "platform/host_path.h"
#include "support/hudson_reference.h"
#include "support/platform_temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace vm;

fs::path outDir;

void Seed(const std::string& fuzzer, const std::string& name, const std::string& bytes) {
  fs::create_directories(outDir / fuzzer);
  std::ofstream(outDir / fuzzer / name, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Le16(size_t value) {
  return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF)};
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r";
  return text;
}

const std::string kKludgedText =
    "\x01MSGID: 2:5020/1 12345678\r\x01REPLY: 2:5020/2 87654321\r\x01INTL 2:5020/2 2:5020/1\r"
    "\x01TOPT 3\r\x01FMPT 4\rHello,\rsecond line\r--- test\r * Origin: node (2:5020/1)\r";

// Squish: .SQD length, .SQD, .SQI.
std::string SquishInput(const std::string& base) {
  std::string sqd = squish_test::ReadBytes(base + ".SQD");
  sqd.resize(std::min<size_t>(sqd.size(), 0xFFFF));
  return Le16(sqd.size()) + sqd + squish_test::ReadBytes(base + ".SQI");
}

void SquishSeeds() {
  ScopedTempDir dir;
  MessageBaseHandle area;
  if (!OpenOrCreateMessageArea("S" + (dir / "AREA"), area)) throw std::runtime_error("squish");
  for (const char* to : {"All", "John Doe", "Sysop"})
    squish_test::WriteSimpleMessage(*area, to, kKludgedText);
  area->SeekFrom(2);
  area->LoadHeader();
  area->DeleteMessage();  // leaves a free frame
  CloseMessageArea(area);
  Seed("squish", "written", SquishInput(dir / "AREA"));

  squish_test::SquishImage image;
  image.AddMessage("All", "\x01MSGID: 2:5020/1 1", "text\r");
  image.AddFree(64);
  image.AddMessage("Alexander Ivanov", "", "more\r", 16);
  image.Save(dir / "IMAGE");
  Seed("squish", "hand_made", SquishInput(dir / "IMAGE"));
}

// JAM: flags, .jhr length after the base header, .jdx length, the base header fields after
// the signature, the .jhr messages, the .jdx, the .jdt.
void JamSeeds() {
  ScopedTempDir dir;
  const std::string base = dir / "TEST";
  MessageBaseHandle area;
  if (!OpenOrCreateMessageArea("J" + base, area)) throw std::runtime_error("jam");
  jamtest::Draft draft;
  draft.kludges = {"\x01MSGID: 2:5020/9999 1a2b3c4d", "\x01PID: test"};
  jamtest::Post(*area, draft);
  draft.kind = MailKind::Netmail;
  draft.to = "John Doe";
  draft.dest = {2, 5020, 1, 0};
  draft.text = "Line one\rLine two\r";
  jamtest::Post(*area, draft);
  CloseMessageArea(area);
  const std::string jhr = jamtest::ReadBytes(base + ".jhr");
  const std::string jdx = jamtest::ReadBytes(base + ".jdx");
  const std::string messages = jhr.substr(std::min<size_t>(jhr.size(), 1024));
  Seed("jam", "written",
       "\x01" + Le16(messages.size()) + Le16(jdx.size()) + jhr.substr(4, 20) + messages + jdx +
           jamtest::ReadBytes(base + ".jdt"));
}

// Hudson: flags, the header record count, the board less 1, MSGINFO.BBS, MSGIDX.BBS,
// MSGTOIDX.BBS, MSGHDR.BBS, MSGTXT.BBS.
void HudsonSeeds() {
  ScopedTempDir dir;
  test::CreateHudsonBase(dir.path());
  test::HudsonMessage message;
  message.subject = "Files";
  message.text = kKludgedText;
  test::AppendHudsonMessage(dir.path(), message);
  message.area = 2;
  message.to = "John Doe";
  message.text = std::string(600, 'x') + "\r";  // three text records
  test::AppendHudsonMessage(dir.path(), message);
  std::string input = std::string("\x00\x02\x00", 3);
  for (const char* file : {"MSGINFO.BBS", "MSGIDX.BBS", "MSGTOIDX.BBS", "MSGHDR.BBS", "MSGTXT.BBS"})
    input += squish_test::ReadBytes(dir / file);
  Seed("hudson", "written", input);
}

// *.MSG: the line width, the resume offset, the message file.
void FidoSeeds() {
  fidotest::MsgFile message = fidotest::WithText(kKludgedText + std::string(1, '\0'));
  Seed("fido", "kludges", std::string("\x4f\x00", 2) + message.Bytes());
  message = fidotest::WithDate("Thu 14 Mar 24 15:09");
  message.text = std::string(300, 'x') + "\r\x8d\nwrapped\r";
  Seed("fido", "seadog_date", std::string("\x10\x05", 2) + message.Bytes());
}

void FastEchoSeeds() {
  fetest::FastEchoBuilder fe;
  fe.areas = {{"RU.MSG", 0x4000, 1, 1, 0, "C:\\FE\\RU.MSG\\", "Messages"},
              {"RU.SQUISH", 0x4000, 0, 2, 0, "C:\\FE\\SQ\\RU", "Squish base"},
              {"RU.JAM", 0x4000, 1, 3, 0, "C:\\FE\\JAM\\RU", ""},
              {"RU.HUDSON", 12, 0, 0, 0, "", "Hudson board"},
              {"RU.DELETED", 0x8000, 0, 1, 0, "C:\\FE\\DEL", ""},
              {"NETMAIL.FE", 0x4000, 0, 1, 1, "C:\\FE\\NETMAIL\\", ""}};
  Seed("fastecho", "areas", fe.Build());
}

// The entry points of each kind (area_fuzz.cpp, seeds area_<letter>): a base of the kind
// written through the factory, as the set of its files.
void AreaSeeds() {
  for (const BaseKindRow& kind : BaseKinds()) {
    ScopedTempDir dir;
    MessageBaseHandle area;
    if (!OpenOrCreateMessageArea(fuzz::AreaIdFor(kind.kind, dir.path()).Format(), area))
      throw std::runtime_error(std::string("area of kind ") + kind.letter);
    for (const char* to : {"All", "John Doe", "Sysop"}) fuzz::PostMessage(*area, to, kKludgedText);
    CloseMessageArea(area);
    std::vector<fuzz::FuzzFile> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
      if (!entry.is_regular_file()) continue;
      const std::string name = fs::relative(entry.path(), dir.path()).string();
      files.push_back({name, dir.ReadFile(name)});
    }
    std::sort(files.begin(), files.end(),
              [](const fuzz::FuzzFile& a, const fuzz::FuzzFile& b) { return a.name < b.name; });
    Seed(std::string("area_") + static_cast<char>(kind.letter - 'A' + 'a'), "written",
         fuzz::PackFiles(files));
  }
}

// The decoder: the first byte picks the encoding; the recogniser: two messages split by 0x00.
void PostingSeeds() {
  const std::string data = test::TestBytes(3000);
  std::vector<test::Lines> uu = test::UuSections(data, "FILE.BIN", 40);
  std::vector<test::Lines> xx = test::UuSections(data, "FILE.XX", 40, EncodingKind::Xx);
  test::Lines mime1 = test::MimePart(data.substr(0, 1500), "FILE.B64", 1, 2);
  test::Lines mime2 = test::MimePart(data.substr(1500), "FILE.B64", 2, 2);
  Seed("decoder", "uu", std::string(1, '\0') + Joined(uu[0]));
  Seed("decoder", "xx", "\x01" + Joined(xx[0]));
  Seed("decoder", "mime", "\x02" + Joined(mime1));
  Seed("recogniser", "uu", Joined(uu[0]) + '\0' + Joined(uu[1]));
  Seed("recogniser", "xx", Joined(xx[1]) + '\0' + Joined(xx[0]));
  Seed("recogniser", "mime", Joined(mime2) + '\0' + Joined(mime1));
}

// The state files: the first byte picks QUEUE.LST, VELDMARK.DUP or AREAS.LST.
void StateSeeds() {
  Seed("state_files", "queue",
       std::string(1, '\0') +
           "1999 11 2\r\nIvan Petrov\r\nSysop\r\n2:5020/9999\r\n\r\n16400\r\nC:\\FILES\r\n\r\n"
           "2\r\nAll\r\nSysop\r\n1\r\n2:5020/100\r\n\r\n120 2\r\n10800\r\n54321\r\n"
           "C:\\OUT\\FILE.ZIP\r\n");
  Seed("state_files", "duplicates",
       "\x01PKZIP.EXE\r\nRU.UUE\r\n30 -1 2024 2 1 2 2024 3 10\r\nFILE.ZIP\r\nRU.UUE\r\n"
       "30 3 2024 2 1 2 2024 3 15\r\n");
  Seed("state_files", "areas",
       "\x02SC:\\FIDO\\SQ\\RU.UUE\r\n65535 1234 -2147483647\r\n"
       "JC:\\FIDO\\JAM\\BIN\r\n-2 0 0\r\n");
}

void ConfigSeeds(const fs::path& sourceDir) {
  auto read = [](const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  Seed("settings", "example_node", read(sourceDir / "examples/node/VELDMARK.CTL"));
  Seed("areadefs", "example_node", read(sourceDir / "examples/node/AREADEFS.CTL"));
  ScopedTempDir dir;
  ProgramPaths paths;
  paths.ProgramDir = ProgramPathFromHost(dir.path()) + "/";
  WriteDefaultAreaDefinitions(paths);
  Seed("areadefs", "default", dir.ReadFile("AREADEFS.CTL"));

  Seed("squish_config", "areas",
       "; comment\r\nEchoArea RU.TEST C:\\FIDO\\RU.TEST -$ -0\r\n"
       "EchoArea\tru.squish\tC:\\FIDO\\SQ\\RU.SQUISH\t-$m500\r\n"
       "  NetArea NETMAIL C:\\FIDO\\NETMAIL\\ 2:5020/1\r\nLocalArea LOCAL.MSG c:\\fido\\local\r\n"
       "BadArea BAD C:\\FIDO\\BAD\n");
  Seed("areas_bbs", "areas",
       "Node name ! Sysop\r\nC:\\FIDO\\RU.TEST RU.TEST 2:5020/2\r\n"
       "$C:\\FIDO\\SQ\\RU.SQ RU.SQ 2:5020/3\r\n!C:\\FIDO\\JAM\\RU.JAM RU.JAM\r\n"
       "-$ C:\\FIDO\\SQ\\X X\r\n");
  Seed("terminate_config", "areas",
       std::string("% comment\r\n@ another\r\nAddress 2:5020/1\r\nAreaFile areas.tm\r\n") + '\0' +
           "ru.msg RU.MSG -msg\r\nc:\\jam\\ru.jam\\ RU.JAM jam\r\nboth RU.BOTH jam msg\r\n"
           "other RU.SQUISH squish\r\n% ru.gone RU.GONE msg\r\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds OUTDIR\n");
    return 2;
  }
  outDir = argv[1];
  SquishSeeds();
  JamSeeds();
  HudsonSeeds();
  FidoSeeds();
  AreaSeeds();
  FastEchoSeeds();
  PostingSeeds();
  StateSeeds();
  ConfigSeeds(VELDMARK_SOURCE_DIR);
  return 0;
}
