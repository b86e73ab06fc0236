#include "decode/recogniser.h"

#include <gtest/gtest.h>

#include "memory_base.h"
#include "text/checksums.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

std::string M61() { return "M" + std::string(60, 'A'); }
std::string H61() { return "h" + std::string(60, 'a'); }
std::string NameCrc() { return std::to_string(StrCrc32("SysopAll")); }

struct Recognised {
  SectionHeader header;
  std::string nextLine;  // what the scan reads after the recogniser returned
};

// Offers the message's lines to the recogniser one by one, as the scan does, and stops at
// the first header.
Recognised RecogniseFirst(const std::vector<std::string>& lines, RecogniserSettings settings = {}) {
  MemoryBase base;
  base.Add(lines);
  DecodeRunState state;
  SectionRecogniser recogniser(base, state, settings);
  base.SeekFrom(1);
  base.StartReading();
  Recognised out;
  while (!base.TextEnded()) {
    const int32_t pos = base.TextPosition();
    const std::string line = base.NextLine(255);
    out.header = recogniser.RecogniseSectionHeader(line, pos);
    if (out.header.IsHeader()) break;
  }
  out.nextLine = base.TextEnded() ? "<end>" : base.NextLine(255);
  return out;
}

TEST(Recogniser, BeginLineWithFullUuLines) {
  auto r = RecogniseFirst({"hello", "begin 644 test.zip", M61(), M61(), "`", "end"});
  EXPECT_EQ(r.header.kind, EncodingKind::Uu);
  EXPECT_EQ(r.header.fileName, "TEST.ZIP");
  EXPECT_EQ(r.header.number, 1);
  EXPECT_EQ(r.header.total, 0);
  EXPECT_EQ(r.header.key, "UU0TEST.ZIP" + NameCrc());
  // Decoding starts on the line after the header; the scan goes on after the first data line.
  EXPECT_EQ(r.header.textPos, 190 + 6 + 19);
  EXPECT_EQ(r.nextLine, M61());
}

TEST(Recogniser, SectionHeaderWithXxData) {
  auto r = RecogniseFirst({"section 2 of 5 of file pack.rar < xxencoded >", "", H61()});
  EXPECT_EQ(r.header.kind, EncodingKind::Xx);
  EXPECT_EQ(r.header.number, 2);
  EXPECT_EQ(r.header.total, 5);
  EXPECT_EQ(r.header.key, "XX5PACK.RAR" + NameCrc());
}

TEST(Recogniser, ShortDataLinesAreToldApartByCase) {
  // 1 byte: UU "!" + 4 characters; XX lines hold lower-case letters.
  EXPECT_EQ(RecogniseFirst({"begin 644 a", "!86)C"}).header.kind, EncodingKind::Uu);
  EXPECT_EQ(RecogniseFirst({"begin 644 a", "0abcd"}).header.kind, EncodingKind::Xx);
}

TEST(Recogniser, TotalOrNumberThatIsNoNumber) {
  auto r = RecogniseFirst({"section 2 of x of file pack.rar", M61()});
  EXPECT_EQ(r.header.kind, EncodingKind::Uu);
  EXPECT_EQ(r.header.total, 0);
  EXPECT_EQ(r.header.number, 2);
  EXPECT_FALSE(RecogniseFirst({"section x of 5 of file pack.rar", M61()}).header.IsHeader());
  EXPECT_FALSE(RecogniseFirst({"section 1 of 5 file pack.rar", M61()}).header.IsHeader());
  EXPECT_FALSE(RecogniseFirst({"section 1 to 5 of file pack.rar", M61()}).header.IsHeader());
  EXPECT_FALSE(RecogniseFirst({"begin now test.zip", M61()}).header.IsHeader());
}

TEST(Recogniser, KeywordsInAnyCase) {
  EXPECT_EQ(RecogniseFirst({"SeCtIoN 1 Of 1 oF fIlE a.b", M61()}).header.kind, EncodingKind::Uu);
  auto own = RecogniseFirst({Cp866("секция 3 из 7 файла docs.txt < Послано >")});
  EXPECT_EQ(own.header.kind, EncodingKind::OwnText);
  EXPECT_EQ(own.header.number, 3);
  EXPECT_EQ(own.header.total, 7);
  EXPECT_EQ(own.header.fileName, "DOCS.TXT");
  EXPECT_EQ(own.header.key, "VMKTxt7DOCS.TXT" + NameCrc());
  auto fp = RecogniseFirst({"TextSection 1 of 2 of file readme.1st"});
  EXPECT_EQ(fp.header.kind, EncodingKind::FastPostText);
  EXPECT_EQ(fp.header.key, "FPTxt2README.1ST" + NameCrc());
}

TEST(Recogniser, SectionFileNameKeepsOnlyNameAndLastExtension) {
  auto r = RecogniseFirst({"section 1 of 1 of file c:\\tmp\\a.tar.gz", M61()});
  EXPECT_EQ(r.header.fileName, "A.GZ");
}

TEST(Recogniser, MimeSinglePartQuotedAndUnquotedName) {
  auto q =
      RecogniseFirst({"MIME-Version: 1.0", "Content-Type: application/octet-stream; name=\"a.zip\"",
                      "Content-Transfer-Encoding: base64", "", "UEsDBBQAAAAIAA=="});
  EXPECT_EQ(q.header.kind, EncodingKind::MimeBase64);
  EXPECT_EQ(q.header.fileName, "A.ZIP");
  EXPECT_EQ(q.header.number, 1);
  EXPECT_EQ(q.header.total, 1);
  EXPECT_EQ(q.header.key, "MIME1A.ZIP" + NameCrc());
  auto u = RecogniseFirst({"Content-Type: application/octet-stream; name=a.zip",
                           "Content-Transfer-Encoding: base64", "", "UEsDBBQAAAAIAA=="});
  EXPECT_EQ(u.header.fileName, ".ZIP");
}

TEST(Recogniser, MimeNameOnAContinuationLine) {
  auto r = RecogniseFirst({"Content-Type: application/octet-stream;", "\tname=\"b.rar\"",
                           "Content-Transfer-Encoding: base64", "", "UEsDBBQAAAAIAA=="});
  EXPECT_EQ(r.header.fileName, "B.RAR");
  std::vector<std::string> far{"Content-Type: application/octet-stream;"};
  for (int i = 0; i < 9; ++i) far.push_back("X-Filler: " + std::to_string(i));
  far.push_back(" name=\"b.rar\"");
  EXPECT_FALSE(RecogniseFirst(far).header.IsHeader());
}

TEST(Recogniser, QuotedPrintableIsRefusedAndLinesAfterItAreStillSeen) {
  auto r = RecogniseFirst({"Content-Type: application/octet-stream; name=\"a.zip\"",
                           "Content-Transfer-Encoding: quoted-printable", "",
                           "section 1 of 1 of file b.zip", M61()});
  EXPECT_EQ(r.header.kind, EncodingKind::Uu);
  EXPECT_EQ(r.header.fileName, "B.ZIP");
}

TEST(Recogniser, MimePartialUsesTheIdAsKey) {
  auto r = RecogniseFirst({"MIME-Version: 1.0", "Content-Type: message/partial;",
                           "  id=\"6546907380521121313221379978408\"", "  number=2; total=5", "",
                           "Content-Type: application/octet-stream; name=\"A.ZIP\"",
                           "Content-Transfer-Encoding: base64",
                           "Content-Disposition: attachment; filename=\"A.ZIP\"", "",
                           "UEsDBBQAAAAIAA=="});
  EXPECT_EQ(r.header.kind, EncodingKind::MimeBase64);
  EXPECT_EQ(r.header.number, 2);
  EXPECT_EQ(r.header.total, 5);
  EXPECT_EQ(r.header.fileName, "A.ZIP");
  EXPECT_EQ(r.header.key, CutTo("6546907380521121313221379978408" + NameCrc(), 64));
  // A part without the inner header: data starts after the blank line.
  auto bare = RecogniseFirst(
      {"Content-Type: message/partial; id=\"X1\"; number=3; total=5", "", "UEsDBBQAAAAIAA=="});
  EXPECT_EQ(bare.header.number, 3);
  EXPECT_TRUE(bare.header.fileName.empty());
  EXPECT_EQ(bare.header.key, "X1" + NameCrc());
}

TEST(Recogniser, CrackBlocksNeedTheirClosingLine) {
  RecogniserSettings shell{2147483647, false, true};
  auto crk = RecogniseFirst({"[BEGINCRK]", "Some.Program v1.0 [patch]", "data", "[ENDCRK]"}, shell);
  EXPECT_EQ(crk.header.kind, EncodingKind::Crack);
  EXPECT_EQ(crk.header.fileName, "SomeProg.crk");
  EXPECT_EQ(crk.header.key, "\x11Some.Program v1.0 [patch]\x10" + NameCrc());
  EXPECT_EQ(crk.header.textPos, 190);
  EXPECT_FALSE(RecogniseFirst({"[BEGINCRK]", "name", "data"}, shell).header.IsHeader());

  RecogniserSettings unattended{2147483647, false, false};
  EXPECT_FALSE(RecogniseFirst({"[BEGINCRK]", "name", "[ENDCRK]"}, unattended).header.IsHeader());
  RecogniserSettings extract{2147483647, true, false};
  EXPECT_TRUE(RecogniseFirst({"[BEGINCRK]", "name", "[ENDCRK]"}, extract).header.IsHeader());

  auto xck = RecogniseFirst({"[BEGINXCK]", "Title: Long Program Name", "x", "[endxck]"}, shell);
  EXPECT_EQ(xck.header.fileName, "LongProg.xck");
  auto crx = RecogniseFirst({"[BEGINCRX\"tool.crx\"]", "Name: tool", "[ENDCRX]"}, shell);
  EXPECT_EQ(crx.header.fileName, "TOOL.CRX");
  EXPECT_EQ(crx.header.key, "\x11tool\x10" + NameCrc());
}

TEST(Recogniser, BeginWithoutDataEndsAtTheLineBudget) {
  RecogniserSettings settings{5, false, false};
  auto r = RecogniseFirst({"begin 644 quote.txt", "some quoted text", "more text here", "and more",
                           "x y", "z w", M61()},
                          settings);
  EXPECT_FALSE(r.header.IsHeader());
  EXPECT_FALSE(RecogniseFirst({"begin 644 quote.txt", "a b", "c d"}).header.IsHeader());
}

TEST(Recogniser, DifferentPostersGiveDifferentKeys) {
  MemoryBase base;
  base.Add({"begin 644 a.zip", M61()});
  base.Add({"begin 644 a.zip", M61()}).from = "Other";
  DecodeRunState state;
  SectionRecogniser recogniser(base, state, {});
  std::string keys[2];
  for (int i = 0; i < 2; ++i) {
    base.SeekFrom(i + 1);
    base.StartReading();
    keys[i] = recogniser.RecogniseSectionHeader(base.NextLine(255), 190).key;
  }
  EXPECT_NE(keys[0], keys[1]);
}

}  // namespace
}  // namespace vm
