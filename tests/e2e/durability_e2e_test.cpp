// What a power cut may not undo: the order in which the program's writes reach the disk,
// read from strace's record of a whole run. A message is deleted (DELETEDECODED) only after
// the file decoded from it and the history entry that names it were flushed; a posted file is
// deleted only after the messages that carry it were flushed; a state file is renamed into
// place only after its new text was flushed.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <functional>
#include <set>

#include "decode_node.h"
#include "kill_point.h"

namespace vm::test {
namespace {

// One system call of the record: its name and the paths it names (for a call on a descriptor,
// the descriptor's path as strace -y shows it).
struct Call {
  std::string name;
  std::vector<std::string> paths;
  std::string line;
};

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::vector<Call> ReadTrace(const std::string& file) {
  std::vector<Call> calls;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    size_t at = line.find_first_not_of("0123456789 ");  // the process id of strace -f
    const size_t open = line.find('(', at);
    if (at == std::string::npos || open == std::string::npos) continue;
    if (line.find("<unfinished") != std::string::npos || line.find("resumed>") != std::string::npos)
      continue;
    Call call{line.substr(at, open - at), {}, line};
    const std::string args = line.substr(open + 1);
    if (!args.empty() && std::isdigit(static_cast<unsigned char>(args[0]))) {
      const size_t from = args.find('<'), to = args.find(">,");
      if (from != std::string::npos && to != std::string::npos && from < to)
        call.paths.push_back(args.substr(from + 1, to - from - 1));
      else if (from != std::string::npos && EndsWith(args, ">) = 0"))
        call.paths.push_back(args.substr(from + 1, args.size() - 6 - from - 1));
    }
    for (size_t quote = args.find('"');
         quote != std::string::npos && call.name != "write" && call.name != "pwrite64";
         quote = args.find('"', quote)) {
      const size_t close = args.find('"', quote + 1);
      if (close == std::string::npos) break;
      call.paths.push_back(args.substr(quote + 1, close - quote - 1));
      quote = close + 1;
    }
    if (line.find(" = -1 ") == std::string::npos) calls.push_back(call);
  }
  return calls;
}

bool IsWrite(const Call& c) { return c.name == "write" || c.name == "pwrite64"; }
bool IsSync(const Call& c) { return c.name == "fsync" || c.name == "fdatasync"; }

// Paths written since they were last flushed: fsync flushes its file, syncfs everything.
class Unflushed {
 public:
  void See(const Call& c) {
    if (c.name == "syncfs") pending_.clear();
    if (IsSync(c) && !c.paths.empty()) pending_.erase(c.paths[0]);
    if (IsWrite(c) && !c.paths.empty()) pending_.insert(c.paths[0]);
    // A rename or an unlink changes the directory.
    if ((c.name.rfind("rename", 0) == 0 || c.name.rfind("unlink", 0) == 0) && !c.paths.empty())
      pending_.insert(fs::path(c.paths.back()).parent_path().string());
  }
  // Those of the paths for which `which` holds.
  std::vector<std::string> Of(const std::function<bool(const std::string&)>& which) const {
    std::vector<std::string> out;
    for (const std::string& path : pending_)
      if (which(path)) out.push_back(path);
    return out;
  }
  bool Has(const std::string& path) const { return pending_.count(path) != 0; }

 private:
  std::set<std::string> pending_;
};

// Runs the program in the node under strace; returns the record of its calls.
std::vector<Call> TracedRun(const DecodeNode& node, const std::vector<std::string>& arguments) {
  const std::string trace = node.Path("strace.txt");
  std::vector<std::string> all{
      "-f",
      "-y",
      "-s",
      "0",
      "-o",
      trace,
      "-e",
      "trace=write,pwrite64,fsync,fdatasync,syncfs,unlink,unlinkat,rename,renameat,renameat2",
      VELDMARK_BINARY};
  all.insert(all.end(), arguments.begin(), arguments.end());
  ProgramRunOptions options = NodeRunOptions(node.node(), std::nullopt);
  options.environment["ASAN_OPTIONS"] = "detect_leaks=0";  // LeakSanitizer cannot run traced
  const ProgramRun run = RunProgramFile(kStrace, all, options);
  EXPECT_EQ(run.exitCode, 0) << run.output << run.errors;
  return ReadTrace(trace);
}

// A state file is renamed into place only once the text it gets was flushed.
void ExpectStateFilesFlushedBeforeTheirRename(const std::vector<Call>& calls) {
  Unflushed unflushed;
  int renamed = 0;
  for (const Call& c : calls) {
    if (c.name.rfind("rename", 0) == 0 && c.paths.size() == 2) {
      const std::string target = fs::path(c.paths[1]).filename().string();
      if (target == "queue.lst" || target == "veldmark.dup" || target == "areas.lst") {
        ++renamed;
        EXPECT_FALSE(unflushed.Has(c.paths[0])) << "renamed before it was flushed: " << c.line;
      }
    }
    unflushed.See(c);
  }
  EXPECT_GT(renamed, 0) << "no state file was written";
}

class DecodeDurability : public ::testing::TestWithParam<BaseKind> {};

// Two postings decoded with DELETEDECODED: before any change to the base, the decoded bytes and
// the history entries written so far are on the disk.
TEST_P(DecodeDurability, MessagesAreDeletedOnlyAfterTheFileAndTheHistoryWereFlushed) {
  if (!StraceAvailable()) GTEST_SKIP() << "strace is not installed";
  DecodeNode node({"DELETEDECODED yes"}, ";", GetParam());
  node.Post("rufiles", Poster{}, UuSections(TestBytes(3000, 31), "first.bin", 20));
  node.Post("rufiles", Poster{}, UuSections(TestBytes(1800, 32), "second.bin", 20));
  node.AgeMessages("rufiles");
  const std::string area = node.Path("areas") + "/";
  const std::string files = node.Path("FILES");
  auto decoded = [&](const std::string& p) {
    return p.rfind(files, 0) == 0 && EndsWith(p, ".$$$");
  };
  auto history = [](const std::string& p) { return EndsWith(p, "/veldmark.dup"); };

  const std::vector<Call> calls = TracedRun(node, {"/All"});
  Unflushed unflushed;
  bool historyWritten = false;
  int baseChanges = 0;
  for (const Call& c : calls) {
    const bool changesBase = (IsWrite(c) || c.name.rfind("unlink", 0) == 0) && !c.paths.empty() &&
                             c.paths[0].rfind(area, 0) == 0;
    if (changesBase) {
      ++baseChanges;
      EXPECT_TRUE(historyWritten) << "a message deleted before its file was remembered";
      EXPECT_EQ(unflushed.Of(decoded), std::vector<std::string>{}) << c.line;
      EXPECT_EQ(unflushed.Of(history), std::vector<std::string>{}) << c.line;
    }
    if (IsWrite(c) && !c.paths.empty() && history(c.paths[0])) historyWritten = true;
    unflushed.See(c);
  }
  EXPECT_GT(baseChanges, 0) << "no message was deleted";
  EXPECT_TRUE(node.Exists("FILES/FIRST.BIN") && node.Exists("FILES/SECOND.BIN"));
  ExpectStateFilesFlushedBeforeTheirRename(calls);
}

INSTANTIATE_TEST_SUITE_P(Bases, DecodeDurability,
                         ::testing::Values(kMsgBase, kSquishBase, kJamBase),
                         [](const auto& info) { return std::string(info.param.keyword); });

class PostingDurability : public ::testing::TestWithParam<BaseKind> {};

// A file posted with -Del: when it is deleted, every message written into the area is on the
// disk; the queue's progress is renamed into place only when flushed.
TEST_P(PostingDurability, APostedFileIsDeletedOnlyAfterItsMessagesWereFlushed) {
  if (!StraceAvailable()) GTEST_SKIP() << "strace is not installed";
  DecodeNode node({"LINESPERSEC 4"}, ";", GetParam());
  node.node().dir().WriteFile("POST.BIN", TestBytes(45 * 4 * 3, 33));
  // The program names the base files in the case the settings write them.
  const std::string area = node.Path("areas") + "/";
  const std::string posted = node.Path("POST.BIN");

  const std::vector<Call> calls =
      TracedRun(node, {"/Encode", "POST.BIN", "UU", "RU.FILES", "All", "-Immed", "-Del"});
  Unflushed unflushed;
  bool deleted = false;
  for (const Call& c : calls) {
    if (c.name.rfind("unlink", 0) == 0 && !c.paths.empty() && c.paths.back() == posted) {
      deleted = true;
      EXPECT_EQ(unflushed.Of([&](const std::string& p) { return p.rfind(area, 0) == 0; }),
                std::vector<std::string>{});
    }
    unflushed.See(c);
  }
  EXPECT_TRUE(deleted) << "the posted file was not deleted";
  EXPECT_FALSE(node.Exists("POST.BIN"));
  ExpectStateFilesFlushedBeforeTheirRename(calls);
}

INSTANTIATE_TEST_SUITE_P(Bases, PostingDurability,
                         ::testing::Values(kMsgBase, kSquishBase, kJamBase),
                         [](const auto& info) { return std::string(info.param.keyword); });

}  // namespace
}  // namespace vm::test
