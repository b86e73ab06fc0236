// /All over a *.MSG area that a real tosser (Debian's crashmail) filled from a packet: the
// decoded file, both files.bbs, the .dsc file, the report message, the history, and the runs
// after it.
#include <gtest/gtest.h>

#include "decode_node.h"

namespace vm::test {
namespace {

class TossedPosting : public ::testing::Test {
 protected:
  void SetUp() override {
    if (DebianCrashmail().empty()) GTEST_SKIP() << "crashmail is not installed";
    zip = ZipWithFileIdDiz(scratch);
    if (zip.empty()) GTEST_SKIP() << "zip is not installed";
    node.node().dir().MakeDirectory("areas/reports");
  }

  // A plain message, then the three sections, tossed from one packet.
  void Toss() {
    const std::vector<Lines> sections = UuSections(zip, "pack.zip", 25);
    ASSERT_EQ(sections.size(), 3u) << "the archive should take three sections";
    CrashmailNode tosser(NodeTosser(node, DebianCrashmail(), "MSG"));
    ASSERT_TRUE(tosser.Toss(PostingPacket(sections, "PACK.ZIP"))) << tosser.Diagnostics();
    ASSERT_EQ(node.Messages("rufiles").size(), 4u + (node.Exists("areas/rufiles/1.msg") ? 1 : 0))
        << tosser.Diagnostics();
    node.AgeMessages("rufiles");
  }

  ScopedTempDir scratch;
  std::string zip;
  DecodeNode node{
      {"RECEIVEMODE advanced", "HEADERS yes", "DUPES overwrite", "AREA MSG REPORTS areas\\reports",
       "REPORTAREA reports", "ARCHIVER zip \"unzip -o -j -C %1 %2 -d %3\""},
      "AREA *\r\n  HISTORYLENGTH 30\r\nAREA REPORTS\r\n  EXCLUDE yes"};
};

TEST_F(TossedPosting, AllDecodesListsReportsAndRemembers) {
  Toss();
  const std::vector<int32_t> messages = node.Messages("rufiles");
  const int32_t last = messages.back();

  ProgramRun run = node.Run({"/All"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(Contains(run.output, "  Сканирую RU.FILES" + std::string(32, ' ') +
                                       " - найдено 1 файла(ов).\n"
                                       "    PACK.ZIP             [3/3] - Ok\n"
                                       "  Найдено файлов: 1  Раскодировано: 1\n"))
      << run.output;
  EXPECT_TRUE(Contains(run.output, "  Всего раскодировано 1 файлов.\n\n")) << run.output;
  EXPECT_TRUE(node.Read("FILES/RUFILES/PACK.ZIP") == zip) << "the decoded file differs";

  const std::string entry = "PACK.ZIP      Test archive v1.0\r\n              Second line\r\n";
  EXPECT_EQ(node.ReadUtf8("FILES/RUFILES/files.bbs"), entry);
  const Lines root = CrLfLines(node.ReadUtf8("FILES/files.bbs"));
  ASSERT_EQ(root.size(), 7u) << node.ReadUtf8("FILES/files.bbs");
  EXPECT_EQ(root[0], "; Veldmark v1.61.40");
  EXPECT_EQ(root[1].rfind("; Отчет создан ", 0), 0u);
  EXPECT_EQ(root[2], "");
  EXPECT_EQ(root[3], "; RU.FILES - найдено 1 файла(ов).");
  EXPECT_EQ(root[4] + "\r\n" + root[5] + "\r\n", entry);
  EXPECT_EQ(root[6], "");

  const Lines dsc = CrLfLines(node.ReadUtf8("FILES/RUFILES/PACK.dsc"));
  ASSERT_GE(dsc.size(), 7u);
  EXPECT_EQ(dsc[0], "Файл:    PACK.ZIP");
  EXPECT_EQ(dsc[1], "От кого: Alexander Ivanov               2:5030/7");
  EXPECT_EQ(dsc[2].rfind("Кому:    All                           ", 0), 0u);
  EXPECT_EQ(dsc[3], "Тема:    PACK.ZIP [1/3]");
  EXPECT_EQ(dsc[4].size(), 77u * 3 - 2 * 2);  // 75 box characters of 3 UTF-8 bytes, two "="
  EXPECT_EQ(dsc[5], "Here is the archive.");

  // The report in REPORTS: header fields, kludges and the layout of its body.
  ASSERT_EQ(node.Messages("reports").size(), 1u);
  const Lines report = node.MessageLines("reports", node.Messages("reports")[0]);
  ASSERT_EQ(report.size(), 16u) << ::testing::PrintToString(report);
  EXPECT_EQ(report[0].rfind("\x01MSGID: 2:5020/100 ", 0), 0u);
  EXPECT_EQ(report[0].size(), 19u + 8u);
  EXPECT_EQ(report[1], "\x01PID: Veldmark v1.61.40");
  EXPECT_EQ(report[2].rfind("Отчет создан ", 0), 0u);
  EXPECT_EQ(report[3], "");
  EXPECT_EQ(report[4], "");
  EXPECT_EQ(report[5], "Область RU.FILES - найдено 1 файла(ов).");
  EXPECT_EQ(report[6], "");
  const std::string size = std::to_string(zip.size());
  EXPECT_EQ(report[7], "  PACK.ZIP     [3/3]    " + size + std::string(9 - size.size(), ' ') +
                           "Test archive v1.0");
  EXPECT_EQ(report[8], std::string(33, ' ') + "Second line");
  EXPECT_EQ(report[9], "");
  EXPECT_EQ(
      report[10], "=" + [] {
        std::string pairs;
        for (int i = 0; i < 38; ++i) pairs += "─═";
        return pairs;
      }() + "─=");
  EXPECT_EQ(report[11], "");
  EXPECT_EQ(report[12], " Всего " + size + " байт в 1 файлах ");
  EXPECT_EQ(report[13], "");
  EXPECT_EQ(report[14], "--- Veldmark v1.61.40 Win32b ");
  EXPECT_EQ(report[15], " * Origin: Default Origin (2:5020/100)");

  const std::string dup = node.Read("veldmark.dup");
  EXPECT_TRUE(Contains(dup, "PACK.ZIP\r\nRU.FILES\r\n30 3 2026 3 1 2 ")) << dup;
  const std::string areas = node.Read("areas.lst");
  EXPECT_TRUE(Contains(areas, "\r\n65535 " + std::to_string(last) + " ")) << areas;

  // The second run starts at the last message, finds only the last section and decodes
  // nothing: it posts no report and leaves the run's files.bbs as it was.
  const std::string rootList = node.Read("FILES/files.bbs");
  run = node.Run({"/All"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_FALSE(Contains(run.output, "PACK.ZIP")) << run.output;
  EXPECT_TRUE(Contains(run.output, "  Всего раскодировано 0 файлов.")) << run.output;
  const std::string log = node.ReadUtf8("VELDMARK.LOG");
  EXPECT_TRUE(Contains(log, "  Seek " + std::to_string(last) + "\r\n")) << log;
  EXPECT_EQ(node.Messages("reports").size(), 1u);
  EXPECT_EQ(node.Read("FILES/files.bbs"), rootList);

  // The whole area again: the history knows the file, so only -AnyWay decodes it.
  run = node.Run({"/All", "-ScanAll"});
  EXPECT_FALSE(Contains(run.output, "PACK.ZIP")) << run.output;
  EXPECT_EQ(node.Messages("reports").size(), 1u);
  run = node.Run({"/All", "-ScanAll", "-AnyWay"});
  EXPECT_TRUE(Contains(run.output, "    PACK.ZIP             [3/3] - Ok\n")) << run.output;
  EXPECT_EQ(node.Messages("reports").size(), 2u);
  EXPECT_TRUE(node.Read("FILES/RUFILES/PACK.ZIP") == zip) << "the decoded file differs";
  EXPECT_EQ(CrLfLines(node.ReadUtf8("FILES/RUFILES/files.bbs")).size(), 4u);
}

}  // namespace
}  // namespace vm::test
