// Postings made by the standard tools: "uuencode" output cut by "split" into 120-line
// sections, each with a "section N of M of file" header and "sum -r/size" lines computed by
// coreutils "sum -r". Decoded from a plain text file and from a *.MSG area filled by a real
// tosser (crashmail), they must come out byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "config/area_table.h"
#include "config/settings.h"
#include "decode/area_scan.h"
#include "decode/file_decoder.h"
#include "decode/posting_builder.h"
#include "msgbase/message_base.h"
#include "platform/process.h"
#include "platform/run_log.h"
#include "support/fake_console.h"
#include "support/fidonet_packet.h"
#include "support/platform_temp_dir.h"

namespace vm {
namespace {

namespace fs = std::filesystem;

std::string Shell(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  ::pclose(pipe);
  return out;
}

// The first number "sum -r" prints for the file.
std::string SumR(const std::string& path) {
  const std::string out = Shell("sum -r '" + path + "'");
  return out.substr(0, out.find_first_of(" \t"));
}

// The sections of `name` (a file in dir): header line, the piece's lines, the sum lines.
std::vector<std::string> SplitPosting(const ScopedTempDir& dir, const std::string& name,
                                      int lines) {
  const std::string d = dir.path();
  Shell("cd '" + d + "' && uuencode " + name + " " + name + " > enc && mkdir -p pieces && " +
        "split -a 5 -l " + std::to_string(lines) + " enc pieces/p");
  // "sum -r" over all pieces at once: one line per piece, "checksum blocks name", in order.
  std::vector<std::pair<std::string, std::string>> pieces;  // name, checksum
  std::istringstream sums(Shell("cd '" + d + "/pieces' && sum -r *"));
  std::string sum, blocks, piece;
  while (sums >> sum >> blocks >> piece) pieces.emplace_back(piece, sum);
  const size_t total = pieces.size();
  std::vector<std::string> sections;
  for (size_t i = 0; i < total; ++i) {
    std::string text = "section " + std::to_string(i + 1) + " of " + std::to_string(total) +
                       " of file " + name + "    < uuencode + split >\n\n";
    const std::string piece = dir.ReadFile("pieces/" + pieces[i].first);
    text += piece + "\n";
    text += "sum -r/size " + pieces[i].second + "/" + std::to_string(piece.size()) + " section\n";
    if (i + 1 == total) {
      text += "sum -r/size " + SumR(d + "/" + name) + "/" +
              std::to_string(fs::file_size(d + "/" + name)) + " entire input file\n";
    }
    sections.push_back(text);
  }
  return sections;
}

struct Decoder {
  Settings settings;
  DecodeRunState state;
  FakeConsole console;
  RunLog log;
  AreaEntry area;
  FoundFileCatalogue catalogue;
  FileDecodeWork work;

  // Scans the area and decodes every complete file into dir; returns (name, result) pairs.
  std::vector<std::pair<std::string, int>> Run(const std::string& areaId, const std::string& dir) {
    std::vector<std::pair<std::string, int>> results;
    MessageBaseHandle base;
    if (!OpenMessageArea(areaId, base)) return results;
    DecodeSession session{settings, state, console, log, nullptr};
    ScanArea(session, *base, area, catalogue, ScanOptions{1, true, ""});
    for (int i = 2; i <= catalogue.Count(); ++i) {
      if (!catalogue.At(i).Complete()) continue;
      FileDecodeOutcome outcome = DecodeFoundFile(session, *base, work, catalogue.At(i), dir);
      fs::rename(dir + "/" + outcome.outputName, dir + "/" + catalogue.At(i).name);
      results.emplace_back(catalogue.At(i).name, outcome.result);
    }
    CloseMessageArea(base);
    return results;
  }
};

bool HaveTools() { return fs::exists("/usr/bin/uuencode") && fs::exists("/usr/bin/split"); }

TEST(RealPosting, TenMegabytesFromATextFile) {
  if (!HaveTools()) GTEST_SKIP() << "sharutils is not installed";
  ScopedTempDir dir;
  dir.WriteFile("big.bin", test::TestBytes(10 * 1024 * 1024, 5));
  dir.MakeDirectory("out");
  std::string text;
  for (const std::string& section : SplitPosting(dir, "big.bin", 120)) text += section + "\n";
  dir.WriteFile("posting.txt", text);

  Decoder decoder;
  auto results = decoder.Run("T" + dir.path() + "/posting.txt", dir.path() + "/out");
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].first, "BIG.BIN");
  EXPECT_EQ(results[0].second, 0);
  EXPECT_GT(decoder.catalogue.At(2).total, 1000);
  EXPECT_TRUE(dir.ReadFile("out/BIG.BIN") == dir.ReadFile("big.bin"));
}

TEST(RealPosting, DamagedSectionOfARealPostingIsFlagged) {
  if (!HaveTools()) GTEST_SKIP() << "sharutils is not installed";
  ScopedTempDir dir;
  dir.WriteFile("small.bin", test::TestBytes(20000, 6));
  dir.MakeDirectory("out");
  std::vector<std::string> sections = SplitPosting(dir, "small.bin", 120);
  ASSERT_EQ(sections.size(), 4u);
  std::string& second = sections[1];
  second[second.find("\nM") + 5] ^= 1;  // one data character
  std::string text;
  for (const std::string& section : sections) text += section;
  dir.WriteFile("posting.txt", text);
  Decoder decoder;
  auto results = decoder.Run("T" + dir.path() + "/posting.txt", dir.path() + "/out");
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].second, decode_flag::kSectionCrc | decode_flag::kFileCrc);
}

TEST(RealPosting, MsgAreaFilledByCrashmail) {
  if (!HaveTools() || !fs::exists("/usr/bin/crashmail")) GTEST_SKIP() << "tools missing";
  ScopedTempDir dir;
  for (const char* sub : {"in", "out", "tmp", "pkt", "echo", "net", "bad", "files"})
    dir.MakeDirectory(sub);
  const std::string& d = dir.path();
  dir.WriteFile("prefs", "SYSOP \"Test Sysop\"\nLOGFILE \"" + d +
                             "/log\"\nLOGLEVEL 6\n"
                             "DUPEFILE \"" +
                             d +
                             "/dupes\" 200\nDUPEMODE BAD\n"
                             "INBOUND \"" +
                             d + "/in\"\nOUTBOUND \"" + d +
                             "/out\"\n"
                             "TEMPDIR \"" +
                             d + "/tmp\"\nPACKETDIR \"" + d +
                             "/pkt\"\n"
                             "STATSFILE \"" +
                             d +
                             "/stats\"\nAKA 2:5020/9999\n"
                             "NODE 2:5020/100 \"\" \"\"\n"
                             "NETMAIL \"NETMAIL\" 2:5020/9999 MSG \"" +
                             d +
                             "/net\"\n"
                             "AREA \"BAD\" 2:5020/9999 MSG \"" +
                             d +
                             "/bad\"\n"
                             "AREA \"RU.FILES\" 2:5020/9999 MSG \"" +
                             d + "/echo\"\n");
  dir.WriteFile("pack.zip", test::TestBytes(60000, 8));
  std::vector<std::string> sections = SplitPosting(dir, "pack.zip", 120);
  ASSERT_GT(sections.size(), 5u);

  // The sections arrive in reverse order, with the origin of a point.
  const NetAddress origin{2, 5020, 100, 7};
  Packet packet;
  packet.orig = NetAddress{2, 5020, 100, 0};
  packet.dest = NetAddress{2, 5020, 9999, 0};
  packet.created = {2024, 3, 5, 9, 7, 11};
  for (size_t i = sections.size(); i-- > 0;) {
    PacketMessage m;
    m.orig = packet.orig;
    m.dest = packet.dest;
    m.dateTime = "05 Mar 24  09:07:11";
    m.fromName = "Poster";
    m.toName = "All";
    m.subject = "pack.zip " + std::to_string(i + 1) + "/" + std::to_string(sections.size());
    std::string body = sections[i];
    std::replace(body.begin(), body.end(), '\n', '\r');
    m.body =
        EchomailBody("RU.FILES", {"MSGID: 2:5020/100.7 " + std::to_string(1000 + i)}, body, origin);
    packet.messages.push_back(m);
  }
  dir.WriteFile("in/0000f11e.pkt", WritePacket(packet));
  ASSERT_EQ(RunCommand("/usr/bin/crashmail SETTINGS %1 TOSSDIR %2 NOSECURITY >%3 2>&1",
                       {dir / "prefs", dir / "in", dir / "crashmail.out"}),
            0);
  ASSERT_FALSE(dir.Exists("in/0000f11e.pkt")) << dir.ReadFile("crashmail.out");

  Decoder decoder;
  auto results = decoder.Run("F" + d + "/echo", d + "/files");
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0], std::make_pair(std::string("PACK.ZIP"), 0));
  EXPECT_TRUE(dir.ReadFile("files/PACK.ZIP") == dir.ReadFile("pack.zip"));
  EXPECT_EQ(decoder.catalogue.At(2).fromAddress, origin);
}

}  // namespace
}  // namespace vm
