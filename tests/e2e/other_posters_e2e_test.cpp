// Postings made at test time by other posting programs: uuenview (UU, XX and bare base64,
// "Part N of M of file" lines), mpack (message/partial with the attachment's headers in part
// 1 only) and uuencode or base64 cut by split (numbered in the subject only). Each part goes
// into a message of its own, in order, reversed or shuffled, in *.MSG, Squish, JAM and Hudson
// areas; /All must decode every file byte for byte under its name, as uudeview does. Broken
// postings must leave no file under a final name and nothing in the history.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>

#include "decode_node.h"
#include "support/hudson_reference.h"

namespace vm::test {
namespace {

bool HaveTools() {
  return std::system(
             "command -v uuenview && command -v mpack && command -v uuencode && "
             "command -v uudeview && command -v split >/dev/null 2>&1") == 0;
}

enum class Order { InOrder, Reversed, Shuffled };

struct Posting {
  std::string name;  // as posted, lower case
  std::string data;
  std::vector<Lines> parts;  // in part order
  std::vector<std::string> subjects;
  std::vector<std::string> partFiles;  // host paths, for uudeview
};

Lines LfLines(const std::string& text) {
  Lines lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Runs `command` (%1: the posting's own directory, %2: its file name) next to a copy of the
// data, and takes every other file the command left there, sorted by name, as the parts.
Posting MakeParts(const ScopedTempDir& scratch, const std::string& name, size_t size,
                  const std::string& command, unsigned seed) {
  Posting posting{name, TestBytes(size, seed), {}, {}, {}};
  const std::string dir = name + ".d";
  scratch.WriteFile(dir + "/" + name, posting.data);
  EXPECT_EQ(RunCommand("cd %1 && " + command, {scratch / dir, name}, {.hideOutput = true}), 0)
      << command;
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(scratch / dir))
    if (entry.path().filename() != name) files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  for (const std::string& file : files) {
    std::ifstream in(file, std::ios::binary);
    posting.parts.push_back(LfLines({std::istreambuf_iterator<char>(in), {}}));
  }
  posting.partFiles = files;
  return posting;
}

// Subjects "NAME (i/n)" and the other conventions of subject numbering.
void NumberSubjects(Posting& posting, const std::string& convention) {
  const std::string n = std::to_string(posting.parts.size());
  for (size_t i = 1; i <= posting.parts.size(); ++i) {
    std::string subject = convention;
    if (convention.empty()) {
      posting.subjects.push_back(posting.name);
      continue;
    }
    subject.replace(subject.find('i'), 1, std::to_string(i));
    subject.replace(subject.find('n'), 1, n);
    posting.subjects.push_back(posting.name + subject);
  }
}

Posting Uuenview(const ScopedTempDir& scratch, char mode, const std::string& name, size_t size,
                 int lines, unsigned seed = 1) {
  Posting posting =
      MakeParts(scratch, name, size,
                std::string("uuenview -") + mode + " -" + std::to_string(lines) + " -o %2", seed);
  NumberSubjects(posting, " (i/n)");
  return posting;
}

Posting Mpack(const ScopedTempDir& scratch, const std::string& name, size_t size, int bytes) {
  Posting posting =
      MakeParts(scratch, name, size, "mpack -s %2 -m " + std::to_string(bytes) + " -o part %2", 3);
  NumberSubjects(posting, " (i/n)");
  return posting;
}

// uuencode (or base64 without any header) cut into parts of `lines` lines by split.
Posting Split(const ScopedTempDir& scratch, const std::string& name, size_t size,
              const std::string& encoder, int lines, const std::string& convention) {
  Posting posting = MakeParts(scratch, name, size,
                              encoder + " | split -l " + std::to_string(lines) + " - part.", 5);
  NumberSubjects(posting, convention);
  return posting;
}

std::vector<size_t> PartOrder(size_t count, Order order) {
  std::vector<size_t> indexes(count);
  for (size_t i = 0; i < count; ++i) indexes[i] = i;
  if (order == Order::Reversed) std::reverse(indexes.begin(), indexes.end());
  if (order == Order::Shuffled) std::shuffle(indexes.begin(), indexes.end(), std::mt19937(count));
  return indexes;
}

// The table's postings, each with the order its parts are posted in.
std::vector<std::pair<Posting, Order>> TablePostings(const ScopedTempDir& scratch) {
  return {
      {Uuenview(scratch, 'u', "uu2.bin", 20000, 300), Order::Reversed},
      {Uuenview(scratch, 'u', "uu5.bin", 60000, 300), Order::Shuffled},
      {Uuenview(scratch, 'u', "uu40.bin", 355000, 200), Order::Shuffled},
      {Uuenview(scratch, 'x', "xx2.bin", 20000, 300), Order::InOrder},
      {Uuenview(scratch, 'x', "xx5.bin", 60000, 300), Order::Reversed},
      {Uuenview(scratch, 'x', "xx40.bin", 355000, 200), Order::Shuffled},
      {Uuenview(scratch, 'b', "bb2.bin", 20000, 300), Order::Shuffled},
      {Uuenview(scratch, 'b', "bb5.bin", 80000, 300), Order::Reversed},
      {Uuenview(scratch, 'b', "bb40.bin", 450000, 200), Order::Shuffled},
      {Mpack(scratch, "mp3.bin", 30000, 16000), Order::Reversed},
      {Mpack(scratch, "mp5.bin", 55000, 16000), Order::Shuffled},
      {Split(scratch, "sp1.bin", 30000, "uuencode %2 <%2", 300, " (i/n)"), Order::Shuffled},
      {Split(scratch, "sp2.bin", 30000, "uuencode %2 <%2", 300, " [i/n]"), Order::Reversed},
      {Split(scratch, "sp3.bin", 30000, "uuencode %2 <%2", 300, " i/n"), Order::InOrder},
      {Split(scratch, "sp4.bin", 30000, "uuencode %2 <%2", 300, " - i of n"), Order::Shuffled},
      {Split(scratch, "sb.bin", 30000, "base64 -w 76 %2", 200, " (i/n)"), Order::Reversed},
  };
}

struct Area {
  const char* title;
  BaseKind kind;
  bool hudson;
};
constexpr Area kAreas[] = {{"MSG", kMsgBase, false},
                           {"Squish", kSquishBase, false},
                           {"JAM", kJamBase, false},
                           {"Hudson", kMsgBase, true}};

// Writes the posting's parts, one message each, into RU.FILES or the Hudson board 1.
void Place(DecodeNode& node, const Area& area, const Posting& posting, Order order) {
  for (size_t index : PartOrder(posting.parts.size(), order)) {
    Lines lines{"Hello All,", ""};
    lines.insert(lines.end(), posting.parts[index].begin(), posting.parts[index].end());
    if (!area.hudson) {
      node.Write("rufiles", Poster{}, posting.subjects[index], lines);
      continue;
    }
    HudsonMessage m;
    m.msgAttr = 0;
    m.from = "Alexander Ivanov";
    m.subject = posting.subjects[index];
    for (const std::string& line : lines) m.text += line + "\r";
    m.text += "--- test\r * Origin: Test BBS (2:5030/7)\r";
    AppendHudsonMessage(node.Path("areas/hudson"), m);
  }
}

std::unique_ptr<DecodeNode> AreaNode(const Area& area, std::vector<std::string> settings = {}) {
  if (area.hudson) settings.push_back("AREA HUDSON RU.HUDSON 001areas\\hudson");
  auto node = std::make_unique<DecodeNode>(settings, ";", area.kind);
  if (area.hudson) {
    node->node().dir().MakeDirectory("areas/hudson");
    CreateHudsonBase(node->Path("areas/hudson"));
  }
  return node;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

TEST(OtherPosters, EveryPostingDecodesByteForByteInEveryKindOfArea) {
  if (!HaveTools()) GTEST_SKIP() << "uuenview, mpack, uuencode or split is missing";
  ScopedTempDir scratch;
  const auto postings = TablePostings(scratch);

  // The number in the name of a uuenview or mpack posting is its count of parts.
  for (const auto& [posting, order] : postings) {
    const size_t digit = posting.name.find_first_of("0123456789");
    if (posting.name.rfind("sp", 0) != 0 && digit != std::string::npos) {
      EXPECT_EQ(posting.parts.size(), std::stoul(posting.name.substr(digit))) << posting.name;
    }
  }

  // uudeview reads the same parts (all but mpack's, which it cannot join) to the same bytes.
  for (const auto& [posting, order] : postings) {
    if (posting.name.rfind("mp", 0) == 0) continue;
    const std::string out = "uudeview/" + posting.name;
    scratch.MakeDirectory(out);
    std::string command = "uudeview -i -o -q -p '" + (scratch / out) + "/'";
    for (const std::string& file : posting.partFiles) command += " '" + file + "'";
    std::system((command + " >/dev/null 2>&1").c_str());
    if (scratch.Exists(out + "/" + posting.name)) {
      EXPECT_TRUE(scratch.ReadFile(out + "/" + posting.name) == posting.data) << posting.name;
    }
  }

  for (const Area& area : kAreas) {
    SCOPED_TRACE(area.title);
    auto node = AreaNode(area);
    for (const auto& [posting, order] : postings) Place(*node, area, posting, order);
    const ProgramRun run = node->Run({"/All"});
    ASSERT_EQ(run.exitCode, 0) << run.output << run.errors;
    EXPECT_FALSE(Contains(run.output, "Ошибка")) << run.output;
    for (const auto& [posting, order] : postings) {
      EXPECT_TRUE(node->Read("FILES/" + Upper(posting.name)) == posting.data)
          << posting.name << "\n"
          << run.output;
      EXPECT_TRUE(Contains(run.output, "    " + Upper(posting.name))) << posting.name;
    }
  }
}

// The posting of `name` with one part changed by `edit`.
Posting Edited(Posting posting, size_t part, const std::function<void(Lines&)>& edit) {
  edit(posting.parts[part]);
  return posting;
}

TEST(OtherPosters, BrokenPostingsLeaveNoFileAndNoHistory) {
  if (!HaveTools()) GTEST_SKIP() << "uuenview, mpack, uuencode or split is missing";
  ScopedTempDir scratch;
  std::vector<Posting> broken;

  Posting missing = Uuenview(scratch, 'u', "bm.bin", 60000, 300);
  missing.parts.erase(missing.parts.begin() + 2);
  missing.subjects.erase(missing.subjects.begin() + 2);
  broken.push_back(missing);

  // Part 3 twice: the second time with other bytes under the same name and numbering.
  Posting twice = Uuenview(scratch, 'u', "bt.bin", 60000, 300, 1);
  const Posting other = Uuenview(scratch, 'u', "bt.bin", 60000, 300, 2);
  twice.parts.push_back(other.parts[2]);
  twice.subjects.push_back(other.subjects[2]);
  broken.push_back(twice);

  // The last part cut off before its end line, or in the middle of a base64 line.
  broken.push_back(Edited(Uuenview(scratch, 'u', "bc.bin", 60000, 300), 4,
                          [](Lines& lines) { lines.resize(lines.size() - 6); }));
  broken.push_back(Edited(Uuenview(scratch, 'b', "bb.bin", 20000, 300), 1, [](Lines& lines) {
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    lines.pop_back();
    lines.back().resize(lines.back().size() - 3);
  }));

  // A single UU block without its end line.
  Posting noEnd = Split(scratch, "bu.bin", 3000, "uuencode %2 <%2", 1000, "");
  noEnd.parts[0].resize(noEnd.parts[0].size() - 2);
  broken.push_back(noEnd);

  // A Content-MD5 that is not the digest of the file.
  broken.push_back(Edited(Mpack(scratch, "bd.bin", 30000, 16000), 0, [](Lines& lines) {
    for (std::string& line : lines)
      if (line.rfind("Content-MD5: ", 0) == 0) line = "Content-MD5: AAAAAAAAAAAAAAAAAAAAAA==";
  }));

  for (bool deleteBad : {true, false}) {
    SCOPED_TRACE(deleteBad ? "DELETEBAD yes" : "DELETEBAD no");
    auto node = AreaNode(kAreas[0], {deleteBad ? "DELETEBAD yes" : "DELETEBAD no"});
    for (const Posting& posting : broken) Place(*node, kAreas[0], posting, Order::InOrder);
    const ProgramRun run = node->Run({"/All"});
    ASSERT_EQ(run.exitCode, 0) << run.output << run.errors;
    const std::string history = node->Read("VELDMARK.DUP");
    for (const Posting& posting : broken) {
      const std::string name = Upper(posting.name);
      EXPECT_FALSE(Contains(history, name)) << name << " is in the history";
      EXPECT_FALSE(Contains(node->Read("FILES/files.bbs"), name)) << name;
      if (posting.name == "bm.bin") {
        // Incomplete: not decoded at all.
        EXPECT_FALSE(node->Exists("FILES/" + name));
        EXPECT_FALSE(Contains(run.output, name)) << run.output;
        continue;
      }
      EXPECT_TRUE(Contains(run.output, "    " + name)) << run.output;
      const size_t status = run.output.find("    " + name);
      EXPECT_TRUE(status != std::string::npos &&
                  run.output.find(" - Ошибка", status) < run.output.find('\n', status))
          << name << "\n"
          << run.output;
      EXPECT_EQ(node->Exists("FILES/" + name), !deleteBad) << name;
    }
  }
}

}  // namespace
}  // namespace vm::test
