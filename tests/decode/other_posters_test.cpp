// The conventions of other posting programs, scanned and decoded from an in-memory area: the
// numbering in subjects, names that run to the end of a "begin" line, uuenview's part lines,
// mpack's message/partial layout, and the evidence a file must show before it is sound (end
// lines, padding, Content-MD5, sections posted twice).
#include <gtest/gtest.h>

#include "decode/area_scan.h"
#include "decode/file_decoder.h"
#include "decode/file_info.h"
#include "decode/md5.h"
#include "decode/subject_numbering.h"
#include "decode_fixture.h"
#include "posting_builder.h"
#include "text/cp866.h"

namespace vm {
namespace {

using test::Lines;

TEST(SubjectNumbering, TheConventionsOfOtherPosters) {
  const struct {
    const char* subject;
    const char* name;  // nullptr: no numbering
    int number, total;
  } cases[] = {
      {"pack.zip (1/3)", "pack.zip", 1, 3},
      {"pack.zip [2/3]", "pack.zip", 2, 3},
      {"pack.zip 3/3", "pack.zip", 3, 3},
      {"pack.zip - 2 of 12", "pack.zip", 2, 12},
      {"my notes.txt (001/005)  ", "my notes.txt", 1, 5},
      {"pack.zip (4/3)", nullptr, 0, 0},
      {"pack.zip (0/3)", nullptr, 0, 0},
      {"(1/3)", nullptr, 0, 0},
      {"pack.zip", nullptr, 0, 0},
      {"pack.zip 2 of 3", nullptr, 0, 0},
      {"Re: 1/2 price", nullptr, 0, 0},
  };
  for (const auto& c : cases) {
    const auto numbering = ParseSubjectNumbering(c.subject);
    ASSERT_EQ(numbering.has_value(), c.name != nullptr) << c.subject;
    if (!numbering) continue;
    EXPECT_EQ(numbering->name, c.name) << c.subject;
    EXPECT_EQ(numbering->number, c.number) << c.subject;
    EXPECT_EQ(numbering->total, c.total) << c.subject;
  }
}

TEST(Md5, KnownDigests) {
  const struct {
    std::string text;
    const char* hex;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& c : cases) {
    // In two pieces, the second crossing a block boundary.
    Md5 md5;
    const auto* bytes = reinterpret_cast<const unsigned char*>(c.text.data());
    md5.Update(bytes, c.text.size() / 3);
    md5.Update(bytes + c.text.size() / 3, c.text.size() - c.text.size() / 3);
    std::string hex;
    char digit[3];
    for (unsigned char b : md5.Finish()) {
      std::snprintf(digit, sizeof digit, "%02x", b);
      hex += digit;
    }
    EXPECT_EQ(hex, c.hex) << c.text;
  }
}

// Lines of UU (or XX) data for `data`, 45 bytes a line, without any header or end line.
Lines DataLines(const std::string& data, EncodingKind kind = EncodingKind::Uu) {
  const Alphabet& a = AlphabetFor(kind);
  Lines lines;
  for (size_t at = 0; at < data.size(); at += 45) {
    const std::string chunk = data.substr(at, 45);
    lines.push_back(std::string(1, a.chars[chunk.size()]) + test::EncodeGroups(a, chunk));
  }
  return lines;
}

Lines Base64Lines(const std::string& data, bool padding = true) {
  Lines lines = test::MimePart(data, "x", 1, 1);
  lines.erase(lines.begin(), lines.begin() + 5);  // the headers and the blank line
  lines.pop_back();
  if (!padding)
    while (!lines.back().empty() && lines.back().back() == '=') lines.back().pop_back();
  return lines;
}

Lines Joined(std::initializer_list<Lines> pieces) {
  Lines all;
  for (const Lines& piece : pieces) all.insert(all.end(), piece.begin(), piece.end());
  return all;
}

class OtherPostersTest : public ::testing::Test, public test::DecodeFixture {
 protected:
  void Post(const std::string& subject, const Lines& lines) { base.Add(lines).subject = subject; }

  // Scans the area; the found files by name.
  const FoundFile* Find(const std::string& name) {
    if (!scanned_) ScanArea(session_, base, area, catalogue, ScanOptions{1, true, ""});
    scanned_ = true;
    for (int i = 2; i <= catalogue.Count(); ++i)
      if (catalogue.At(i).name == name) return &catalogue.At(i);
    return nullptr;
  }
  // Decodes the file of that name: its result, and its bytes in `bytes`.
  int Decode(const std::string& name, std::string* bytes = nullptr) {
    const FoundFile* file = Find(name);
    if (file == nullptr) return -1;
    const FileDecodeOutcome outcome = DecodeFoundFile(session_, base, work, *file, OutDir());
    if (bytes != nullptr) *bytes = ReadOut(outcome.outputName);
    return outcome.result;
  }

  DecodeSession session_ = Unattended();
  FoundFileCatalogue catalogue;
  FileDecodeWork work;
  bool scanned_ = false;
};

TEST_F(OtherPostersTest, SubjectNumberedPartsJoinWhateverTheirOrder) {
  const std::string uu = test::TestBytes(45 * 25 + 7, 3), b64 = test::TestBytes(57 * 20, 4);
  const Lines uuLines = DataLines(uu), b64Lines = Base64Lines(b64);
  // uuencode | split: the begin line in part 1 only, the end lines in the last part.
  Post("pack.zip [3/3]",
       Joined({{"Hello"}, Lines(uuLines.begin() + 20, uuLines.end()), {"`", "end"}}));
  Post("pack.zip [1/3]",
       Joined({{"begin 644 pack.zip"}, Lines(uuLines.begin(), uuLines.begin() + 10)}));
  Post("pack.zip [2/3]", Lines(uuLines.begin() + 10, uuLines.begin() + 20));
  // Base64 without any header, named by the subject only; the last part ends unpadded.
  Post("data.bin - 2 of 2", Lines(b64Lines.begin() + 10, b64Lines.end()));
  Post("data.bin - 1 of 2", Lines(b64Lines.begin(), b64Lines.begin() + 10));
  // A subject that numbers another file leaves a posting of its own alone.
  Post("Photos (1/2)", Joined({{"begin 644 one.bin"}, DataLines("one"), {"`", "end"}}));

  std::string bytes;
  EXPECT_EQ(Decode("PACK.ZIP", &bytes), 0);
  EXPECT_TRUE(bytes == uu);
  EXPECT_EQ(Find("PACK.ZIP")->total, 3);
  EXPECT_EQ(Find("PACK.ZIP")->kind, EncodingKind::Uu);
  EXPECT_EQ(Decode("DATA.BIN", &bytes), 0);
  EXPECT_TRUE(bytes == b64);
  EXPECT_EQ(Find("DATA.BIN")->kind, EncodingKind::MimeBase64);
  EXPECT_EQ(Decode("ONE.BIN", &bytes), 0);
  EXPECT_EQ(bytes, "one");

  // The information window names the convention after the encoding.
  const FileInfoText info = FoundFileInfo(base, *Find("PACK.ZIP"), &area, "");
  EXPECT_EQ(info.lines[4], Cp866("Тип:     UU (номера в теме)"));
}

TEST_F(OtherPostersTest, UuenviewPartLinesWithAndWithoutPrefix) {
  const std::string xx = test::TestBytes(45 * 12, 5), b64 = test::TestBytes(57 * 12 + 1, 6);
  const Lines xxLines = DataLines(xx, EncodingKind::Xx), b64Lines = Base64Lines(b64);
  Post("x",
       Joined({{"", "_=_ ", "_=_ Part 001 of 002 of file pack.xx", "_=_ ", "", "begin 644 pack.xx"},
               Lines(xxLines.begin(), xxLines.begin() + 6),
               // No sum lines: the tear line, whose blank reads as XX's zero character,
               // follows the data after a blank line.
               {"", "--- GoldED+/LNX 1.1.5", " * Origin: Test (2:5020/1)"}}));
  Post("x", Joined({{"_=_ Part 002 of 002 of file pack.xx", ""},
                    Lines(xxLines.begin() + 6, xxLines.end()),
                    {"+", "end"}}));
  Post("y", Joined({{"Part 2 of 2 of file b.bin"}, Lines(b64Lines.begin() + 6, b64Lines.end())}));
  Post("y", Joined({{"Part 1 of 2 of file b.bin"}, Lines(b64Lines.begin(), b64Lines.begin() + 6)}));

  std::string bytes;
  EXPECT_EQ(Decode("PACK.XX", &bytes), 0);
  EXPECT_TRUE(bytes == xx);
  EXPECT_EQ(Decode("B.BIN", &bytes), 0);
  EXPECT_TRUE(bytes == b64);
  const FileInfoText info = FoundFileInfo(base, *Find("B.BIN"), &area, "");
  EXPECT_EQ(info.lines[4], Cp866("Тип:     MIME/base64 (uuenview)"));
}

TEST_F(OtherPostersTest, BeginLineNamesRunToTheEndOfTheLine) {
  for (bool longNames : {true, false}) {
    SCOPED_TRACE(longNames ? "LONGFILENAMES yes" : "LONGFILENAMES no");
    base.messages.clear();
    catalogue = FoundFileCatalogue();
    scanned_ = false;
    settings.LONGFILENAMES = longNames;
    Post("notes", Joined({{"begin 644 my notes.txt  "}, DataLines("notes"), {"`", "end"}}));
    Post("archive",
         Joined({{"begin 644 ../old/Old Notes.tar.gz"}, DataLines("arc"), {"`", "end"}}));
    EXPECT_NE(Find(longNames ? "MY NOTES.TXT" : "MYNOTES.TXT"), nullptr);
    EXPECT_NE(Find(longNames ? "OLD NOTES.GZ" : "OLDNOTES.GZ"), nullptr);
  }
}

TEST_F(OtherPostersTest, MpackPartsWithTheAttachmentHeadersInPartOneOnly) {
  const std::string data = test::TestBytes(57 * 30 + 2, 7);
  const Lines lines = Base64Lines(data);
  Md5 md5;
  md5.Update(reinterpret_cast<const unsigned char*>(data.data()), data.size());
  const Md5::Digest digest = md5.Finish();
  const std::string md5Line =
      "Content-MD5: " +
      test::EncodeGroups(kBase64Alphabet, std::string(digest.begin(), digest.end()))
          .replace(22, 2, "==");
  auto outer = [](int number) {
    return Lines{"Message-ID: <1.2@vm>",
                 "MIME-Version: 1.0",
                 "Subject: m.bin (0" + std::to_string(number) + "/03)",
                 "Content-Type: message/partial; number=" + std::to_string(number) + "; total=3;",
                 "\t id=\"1234.5678@vm\"",
                 ""};
  };
  for (const std::string& md5Header :
       {md5Line, std::string("Content-MD5: AAAAAAAAAAAAAAAAAAAAAA==")}) {
    SCOPED_TRACE(md5Header);
    base.messages.clear();
    catalogue = FoundFileCatalogue();
    scanned_ = false;
    Post("m.bin (3/3)", Joined({outer(3), Lines(lines.begin() + 20, lines.end()), {"", "-----"}}));
    Post("m.bin (1/3)", Joined({outer(1),
                                {"Message-ID: <1.1@vm>", "MIME-Version: 1.0", "Subject: m.bin",
                                 "Content-Type: multipart/mixed; boundary=\"-\"", "",
                                 "This is a MIME encoded message.  Decode it with \"munpack\"",
                                 "---", "Content-Type: application/octet-stream; name=\"m.bin\"",
                                 "Content-Transfer-Encoding: base64",
                                 "Content-Disposition: inline; filename=\"m.bin\"", md5Header, ""},
                                Lines(lines.begin(), lines.begin() + 10)}));
    Post("m.bin (2/3)", Joined({outer(2), Lines(lines.begin() + 10, lines.begin() + 20)}));

    const FoundFile* file = Find("M.BIN");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(catalogue.FileCount(), 1) << "one file, whatever the enclosed headers say";
    EXPECT_EQ(file->present, 3);
    std::string bytes;
    const int result = Decode("M.BIN", &bytes);
    EXPECT_TRUE(bytes == data);
    EXPECT_EQ(result, md5Header == md5Line ? 0 : decode_flag::kFileCrc);
    const FileInfoText info = FoundFileInfo(base, *file, &area, "");
    EXPECT_EQ(info.lines[4], Cp866("Тип:     MIME/base64 (message/partial)"));
  }
}

// What a file must show before it is sound: each case one posting, and the flags it gets.
TEST_F(OtherPostersTest, DataThatDoNotEndWhereTheirEncodingSaysAreDamaged) {
  const std::string data = test::TestBytes(45 * 8 + 10, 8);
  const Lines uu = DataLines(data);
  const Lines b64 = Base64Lines(data);
  const struct {
    const char* name;
    std::vector<Lines> messages;  // subject "NAME (i/n)" when more than one
    int result;
  } cases[] = {
      {"end.uu", {Joined({{"begin 644 end.uu"}, uu, {"`", "end"}})}, 0},
      {"blank.uu", {Joined({{"begin 644 blank.uu"}, uu, {"", "end"}})}, 0},
      {"noend.uu", {Joined({{"begin 644 noend.uu"}, uu, {"`"}})}, decode_flag::kTextError},
      {"cut.uu",
       {Joined({{"begin 644 cut.uu"}, Lines(uu.begin(), uu.end() - 2)})},
       decode_flag::kTextError},
      {"ok.b64", {Joined({{"Part 1 of 1 of file ok.b64"}, b64})}, 0},
      {"cut.b64",
       {Joined({{"Part 1 of 1 of file cut.b64"},
                Lines(b64.begin(), b64.end() - 1),
                {b64.back().substr(0, b64.back().size() - 1)}})},
       decode_flag::kTextError},
      // Padding in part 1 of 2: the data ended before the file did.
      {"early.b64",
       {Joined({{"Part 1 of 2 of file early.b64"}, b64}),
        Joined({{"Part 2 of 2 of file early.b64"}, b64})},
       decode_flag::kTextError},
      // Part 2 posted twice, with other bytes the second time.
      {"twice.uu",
       {Joined({{"begin 644 twice.uu"}, Lines(uu.begin(), uu.begin() + 4)}),
        Joined({Lines(uu.begin() + 4, uu.end()), {"`", "end"}}),
        Joined({DataLines(test::TestBytes(45 * 4 + 10, 9)), {"`", "end"}})},
       decode_flag::kSectionCrc},
  };
  for (const auto& c : cases) {
    for (size_t i = 0; i < c.messages.size(); ++i) {
      const size_t number = c.name == std::string("twice.uu") ? std::min<size_t>(i + 1, 2) : i + 1;
      const size_t total = c.name == std::string("twice.uu") ? 2 : c.messages.size();
      Post(std::string(c.name) + " (" + std::to_string(number) + "/" + std::to_string(total) + ")",
           c.messages[i]);
    }
  }
  for (const auto& c : cases) {
    std::string name = c.name;
    for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    EXPECT_EQ(Decode(name), c.result) << c.name;
  }
}

}  // namespace
}  // namespace vm
