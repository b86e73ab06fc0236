// FIFOs, devices and oversized files where the settings, the state or a *.MSG area expect a
// file: the run never waits on them nor reads them without end; it stops with a message that
// names the file, or passes the message over.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "decode_node.h"
#include "platform/file.h"

namespace vm::test {
namespace {

// Short, as every run here should take a moment: a run that waits is killed and fails.
constexpr int kTimeLimitSeconds = 15;

ProgramRun RunBriefly(const E2eNode& node, const std::vector<std::string>& arguments) {
  ProgramRunOptions options = NodeRunOptions(node, std::nullopt);
  options.timeLimitSeconds = kTimeLimitSeconds;
  return RunVeldmark(arguments, options);
}

// Makes `relative` in the node a FIFO or a link to /dev/zero, or a sparse regular file of
// `size` bytes.
void MakeFifo(const E2eNode& node, const std::string& relative) {
  fs::remove(node.dir() / relative);
  ASSERT_EQ(mkfifo((node.dir() / relative).c_str(), 0600), 0) << relative;
}
void LinkToZero(const E2eNode& node, const std::string& relative) {
  fs::remove(node.dir() / relative);
  ASSERT_EQ(symlink("/dev/zero", (node.dir() / relative).c_str()), 0) << relative;
}
void MakeSparse(const E2eNode& node, const std::string& relative, uintmax_t size) {
  node.dir().WriteFile(relative, "");
  fs::resize_file(node.dir() / relative, size);
}

TEST(SpecialFiles, SettingsAndStateThatAreNoFilesStopTheRunWithAMessage) {
  constexpr uintmax_t kMegabyte = 1 << 20;
  struct Case {
    std::string setting;  // a VELDMARK.CTL line (line 3), or none
    std::function<void(const E2eNode&)> prepare;
    std::string message;
  };
  const std::string notAFile = " не является обычным файлом";
  const std::vector<Case> cases = {
      {"AREASPATH areas.bbs", [](auto& n) { MakeFifo(n, "areas.bbs"); },
       "VELDMARK.CTL строка 3: Файл AREAS.BBS" + notAFile + " - проверьте параметр AREASPATH"},
      {"AREASPATH /dev/zero",
       {},
       "VELDMARK.CTL строка 3: Файл AREAS.BBS" + notAFile + " - проверьте параметр AREASPATH"},
      {"AREASPATH areas.bbs", [](auto& n) { MakeSparse(n, "areas.bbs", 16 * kMegabyte + 1); },
       "VELDMARK.CTL строка 3: Файл AREAS.BBS слишком большой (больше 16 Мбайт) - проверьте "
       "параметр AREASPATH"},
      {"SQUISHPATH squish.cfg", [](auto& n) { MakeFifo(n, "squish.cfg"); },
       "VELDMARK.CTL строка 3: Файл SQUISH.CFG" + notAFile + " - проверьте параметр SQUISHPATH"},
      {"SQUISHPATH /dev/zero",
       {},
       "VELDMARK.CTL строка 3: Файл SQUISH.CFG" + notAFile + " - проверьте параметр SQUISHPATH"},
      {"TERMINATECFG tm.cfg", [](auto& n) { MakeFifo(n, "tm.cfg"); },
       "Файл tm.cfg" + notAFile + "."},
      {"TERMINATECFG /dev/zero", {}, "Файл /dev/zero" + notAFile + "."},
      {"TERMINATECFG tm.cfg",
       [](auto& n) {
         n.dir().WriteFile("tm.cfg", "AREAFILE areas.tm\r\n");
         LinkToZero(n, "areas.tm");
       },
       "Файл AREAS.TM" + notAFile + "."},
      {"FASTECHOCFG fastecho.cfg", [](auto& n) { MakeFifo(n, "fastecho.cfg"); },
       "Файл FASTECHO.CFG" + notAFile + "."},
      {"FASTECHOCFG /dev/zero", {}, "Файл /DEV/ZERO" + notAFile + "."},
      {"", [](auto& n) { MakeFifo(n, "VELDMARK.CTL"); }, "Файл VELDMARK.CTL" + notAFile},
      {"", [](auto& n) { LinkToZero(n, "VELDMARK.TPL"); }, "Файл VELDMARK.TPL" + notAFile},
      {"", [](auto& n) { MakeFifo(n, "AREAS.LST"); }, "Файл AREAS.LST" + notAFile},
      {"", [](auto& n) { LinkToZero(n, "QUEUE.LST"); }, "Файл QUEUE.LST" + notAFile},
      {"", [](auto& n) { MakeSparse(n, "VELDMARK.DUP", 64 * kMegabyte + 1); },
       "Файл VELDMARK.DUP слишком большой (больше 64 Мбайт)"},
  };
  for (const Case& c : cases) {
    E2eNode node(c.setting.empty() ? std::vector<std::string>{}
                                   : std::vector<std::string>{c.setting});
    if (c.prepare) c.prepare(node);
    ProgramRun run = RunBriefly(node, {"/All"});
    EXPECT_EQ(run.exitCode, 3) << c.setting << c.message << "\n" << run.output;
    EXPECT_TRUE(Contains(run.output, c.message + "\n")) << c.message << "\n" << run.output;
  }
}

// Definitions that cannot be opened are offered to be replaced; an unattended run declines
// and goes on without them.
TEST(SpecialFiles, AreaDefinitionsThatAreNoFileAreOfferedForReplacement) {
  E2eNode node({"ROOT files"});
  MakeFifo(node, "AREADEFS.CTL");
  ProgramRun run = RunBriefly(node, {"/All"});
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(Contains(run.output, "Ошибка " + std::to_string(kNotRegularFile) +
                                       " открытия AREADEFS.CTL. Перезаписать на стандартный?"))
      << run.output;
}

// A FIFO named like a message, and a message file too short for its header: both passed over
// and logged once; the files around them decode.
TEST(SpecialFiles, MessagesThatAreNoFileOrDamagedArePassedOverAndLogged) {
  DecodeNode node;
  node.Post("rufiles", Poster{}, UuSections(TestBytes(2500, 3), "pack.zip", 20));
  node.node().dir().WriteFile("areas/rufiles/11.msg", "too short for a header");
  MakeFifo(node.node(), "areas/rufiles/10.msg");
  ProgramRun run = RunBriefly(node.node(), {"/All"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(Contains(run.output, "    PACK.ZIP             [3/3] - Ok\n")) << run.output;
  const std::string log = node.ReadUtf8("VELDMARK.LOG");
  for (const char* name : {"10.msg", "11.msg"}) {
    const std::string line = "Файл " + std::string("areas\\rufiles\\") + name +
                             " повреждён или недоступен - сообщение пропущено\r\n";
    const size_t first = log.find(line);
    EXPECT_NE(first, std::string::npos) << name << "\n" << log;
    EXPECT_EQ(log.find(line, first + 1), std::string::npos) << name << "\n" << log;
  }
  EXPECT_TRUE(fs::is_fifo(node.Path("areas/rufiles/10.msg")));
}

}  // namespace
}  // namespace vm::test
