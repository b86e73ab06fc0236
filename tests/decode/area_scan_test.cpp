#include "decode/area_scan.h"

#include <gtest/gtest.h>

#include "decode_fixture.h"
#include "posting_builder.h"
#include "text/cp866.h"

namespace vm {
namespace {

using test::Lines;

std::string M61() { return "M" + std::string(60, 'A'); }
Lines Section(int n, int total, const std::string& name) {
  return {"section " + std::to_string(n) + " of " + std::to_string(total) + " of file " + name, "",
          M61(), "`", "end"};
}

class AreaScanTest : public ::testing::Test, public test::DecodeFixture {
 protected:
  void Scan(bool unattended = true, bool scanAll = false, int32_t start = 1) {
    DecodeSession session = unattended ? Unattended() : Windowed();
    ScanArea(session, base, area, catalogue, ScanOptions{start, scanAll, "  Scan "});
  }
  FoundFileCatalogue catalogue;
};

TEST_F(AreaScanTest, GathersSectionsUnderTheirKeys) {
  base.Add(Section(2, 3, "a.zip"));
  base.Add(Section(1, 3, "a.zip"));
  base.Add(Section(1, 3, "a.zip")).from = "Somebody Else";
  base.Add(Section(3, 3, "a.zip")).sent = true;
  Scan();
  ASSERT_EQ(catalogue.Count(), 3);
  EXPECT_EQ(catalogue.At(1).name, ExitRowName());
  const FoundFile& a = catalogue.At(2);
  EXPECT_EQ(a.name, "A.ZIP");
  EXPECT_EQ(a.total, 3);
  EXPECT_EQ(a.present, 3);
  EXPECT_TRUE(a.Complete());
  EXPECT_EQ(a.sentSections, 1);
  EXPECT_EQ(a.Slot(1)->message, 2);
  EXPECT_EQ(a.Slot(2)->message, 1);
  EXPECT_EQ(a.subject, "files");
  const FoundFile& other = catalogue.At(3);
  EXPECT_EQ(other.present, 1);
  EXPECT_FALSE(other.Complete());
}

TEST_F(AreaScanTest, RepostedSectionReplacesItsSlot) {
  base.Add(Section(1, 2, "r.zip"));
  base.Add(Section(1, 2, "r.zip"));
  Scan();
  const FoundFile& r = catalogue.At(2);
  EXPECT_EQ(r.present, 1);
  EXPECT_EQ(r.Slot(1)->message, 2);
}

TEST_F(AreaScanTest, UnannouncedTotalAndSlotGrowth) {
  base.Add(Section(2, 0, "u.zip"));
  base.Add(Section(70, 0, "u.zip"));  // beyond the 50 slots of an unannounced total
  // Parts of one MIME posting (one id) whose later header announces more parts.
  base.Add(test::MimePart("abc", "G.ZIP", 1, 2, "G1"));
  base.Add(test::MimePart("def", "G.ZIP", 5, 7, "G1"));
  Scan();
  const FoundFile& u = catalogue.At(2);
  EXPECT_EQ(u.SlotCount(), 70);
  EXPECT_EQ(u.total, 70);  // the highest section present
  EXPECT_EQ(u.present, 2);
  const FoundFile& g = catalogue.At(3);
  EXPECT_EQ(g.total, 7);
  EXPECT_GE(g.SlotCount(), 5);
  EXPECT_EQ(g.Slot(5)->message, 4);
}

TEST_F(AreaScanTest, HeaderLinesLimitAndDeletedMessages) {
  settings.HEADERLINES = 100;
  Lines late(100, "text");
  late.push_back("begin 644 late.zip");  // line 101
  late.push_back(M61());
  base.Add(late);
  Lines early(99, "text");
  early.push_back("begin 644 early.zip");  // line 100
  early.push_back(M61());
  base.Add(early);
  base.Add(Section(1, 1, "gone.zip")).deleted = true;
  Scan();
  ASSERT_EQ(catalogue.Count(), 2);
  EXPECT_EQ(catalogue.At(2).name, "EARLY.ZIP");
}

TEST_F(AreaScanTest, OriginLineAndPointKludges) {
  base.Add(
      {"\x01"
       "FMPT 7",
       "\x01TOPT 3", "begin 644 o.zip", M61(), "`", "end", "--- ",
       " * Origin: Somewhere (2:5020/9999.1)"});
  base.messages.back().dest = NetAddress{2, 5020, 100, 0};
  base.Add({"begin 644 p.zip", M61(),
            "\x01"
            "FMPT 7"});
  Scan();
  EXPECT_EQ(catalogue.At(2).fromAddress, (NetAddress{2, 5020, 9999, 1}));
  EXPECT_EQ(catalogue.At(2).toAddress, (NetAddress{2, 5020, 100, 3}));
  EXPECT_EQ(catalogue.At(3).fromAddress, (NetAddress{2, 5020, 1, 0}));
}

TEST_F(AreaScanTest, DamagedMessageFilesAreLoggedOncePerRun) {
  base.Add({"hello"});
  base.Add({}).damagedFile = "C:\\FIDO\\FILES\\2.msg";
  base.Add({}).damagedFile = "C:\\FIDO\\FILES\\3.msg";
  base.Add(Section(1, 1, "whole.zip"));
  for (bool unattended : {true, false, true}) Scan(unattended, true);
  EXPECT_EQ(catalogue.FileCount(), 1);
  const std::string log = LogText();
  for (const char* file : {"2.msg", "3.msg"}) {
    const std::string line = Cp866("Файл C:\\FIDO\\FILES\\") + file +
                             Cp866(" повреждён или недоступен - сообщение пропущено\r\n");
    const size_t first = log.find(line);
    EXPECT_NE(first, std::string::npos) << file << log;
    EXPECT_EQ(log.find(line, first + 1), std::string::npos) << file << log;
  }
}

TEST_F(AreaScanTest, UnattendedRunsResumeAndRescanChangedAreas) {
  base.Add({"hello"});
  base.Add(Section(1, 2, "half.zip"));
  base.Add(Section(1, 1, "whole.zip"));
  base.Add({"bye"});
  Scan();
  // The incomplete file's first message is where the next run starts.
  EXPECT_EQ(area.ResumeMessage, 2u);
  base.SeekFrom(2);
  EXPECT_EQ(area.ResumeCheck, static_cast<uint32_t>(MessageCrc(base)));
  std::string log = LogText();
  EXPECT_NE(log.find(Cp866("Начато сканирование RU.FILES - FC:\\FIDO\\FILES")), std::string::npos);
  EXPECT_NE(log.find(Cp866("Последнее сообщение = 2")), std::string::npos);
  EXPECT_NE(log.find(Cp866("Сканирование закончено. Найдено 2")), std::string::npos);
  EXPECT_NE(console.output.find("\r  Scan 5..4"), std::string::npos);

  base.Add(Section(2, 2, "half.zip"));
  Scan();
  EXPECT_EQ(catalogue.Count(), 3);  // half.zip and, read again from message 3, whole.zip
  EXPECT_TRUE(catalogue.At(2).Complete());
  EXPECT_EQ(area.ResumeMessage, 5u);

  // The message at the resume point was edited: everything is read again.
  base.messages[4].subject = "changed";
  area.ResumeCheck ^= 1;
  Scan();
  EXPECT_EQ(catalogue.Count(), 3);
  EXPECT_NE(LogText().find("  Seek 5"), std::string::npos);
  EXPECT_NE(LogText().find("  Areas CRC = "), std::string::npos);
}

TEST_F(AreaScanTest, SortedCatalogueKeepsTheExitRowFirst) {
  settings.SORTAREAFILES = true;
  base.Add(Section(1, 1, "zeta.zip"));
  base.Add(Section(1, 1, "alpha.zip"));
  Scan(false);
  EXPECT_EQ(catalogue.At(1).name, ExitRowName());
  EXPECT_EQ(catalogue.At(2).name, "ALPHA.ZIP");
  EXPECT_EQ(catalogue.At(3).name, "ZETA.ZIP");
}

TEST_F(AreaScanTest, ContinuingScanKeepsTheCatalogue) {
  base.Add(Section(1, 2, "c.zip"));
  Scan(false);
  base.Add(Section(2, 2, "c.zip"));
  Scan(false, false, 2);
  ASSERT_EQ(catalogue.Count(), 2);
  EXPECT_TRUE(catalogue.At(2).Complete());
}

TEST_F(AreaScanTest, AbortKeysOnlyWithATerminal) {
  for (int i = 0; i < 5; ++i) base.Add(Section(1, 1, "f" + std::to_string(i) + ".zip"));
  console.AddKeys("  ");
  Scan();  // no terminal: the keys are never read
  EXPECT_EQ(catalogue.FileCount(), 5);
  EXPECT_FALSE(state.scanInterrupted);

  console.SetInteractive(true);
  Scan(true, true);
  EXPECT_TRUE(state.abortPending);
  EXPECT_TRUE(state.scanInterrupted);
  EXPECT_EQ(catalogue.FileCount(), 0);
  EXPECT_NE(LogText().find(Cp866("Сканирование прервано - пользователь отказался")),
            std::string::npos);
}

TEST_F(AreaScanTest, FullCatalogueSaysSoOnceAndKeepsKnownFiles) {
  Lines many;
  for (int i = 0; i < 3005; ++i) {
    many.push_back("begin 644 f" + std::to_string(i) + ".bin");
    many.push_back(M61());
  }
  base.Add(many);
  base.Add(Section(1, 1, "f1.bin"));
  Scan();
  EXPECT_EQ(catalogue.FileCount(), FoundFileCatalogue::kCapacity - 2);
  const std::string full = Cp866("Слишком много файлов в области");
  EXPECT_EQ(console.output.find(full), console.output.rfind(full));
  EXPECT_NE(console.output.find(full), std::string::npos);
}

}  // namespace
}  // namespace vm
