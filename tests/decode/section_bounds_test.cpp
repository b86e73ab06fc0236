// Where a section's data begins and ends, over areas of the real message bases: after the
// blank line that closes the MIME headers, and before the kludge lines that end a message.
#include <gtest/gtest.h>

#include <algorithm>

#include "decode/area_scan.h"
#include "decode/file_decoder.h"
#include "decode_fixture.h"
#include "posting_builder.h"
#include "text/cp866.h"

namespace vm {
namespace {

using test::Lines;

struct Case {
  const char* what;
  std::vector<Lines> messages;  // the posting, one message each
  std::string name;             // as the catalogue lists it
  std::string bytes;            // the file it must give
  int result = 0;
};

class SectionBoundsTest : public ::testing::Test, public test::DecodeFixture {
 protected:
  // Each case is written into a new *.MSG, Squish and JAM area, which is scanned, and the file
  // found first is decoded.
  void ExpectDecodedOverEveryBase(const std::vector<Case>& cases) {
    for (const char letter : {'F', 'S', 'J'}) {
      for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, letter) + ": " + c.what);
        MessageBaseHandle base;
        ASSERT_TRUE(OpenOrCreateMessageArea(
            letter + (dir / ("area" + std::to_string(++areas_))).string(), base));
        for (const Lines& lines : c.messages) {
          base->StartNewMessage();
          base->SetMailKind(MailKind::Echomail);
          for (const std::string& line : lines) base->PutLine(line);
          EXPECT_EQ(base->WriteMessage(), 0);
        }
        FoundFileCatalogue catalogue;
        DecodeSession session = Unattended();
        ScanArea(session, *base, area, catalogue, ScanOptions{1, true, ""});
        ASSERT_EQ(catalogue.Count(), 2);
        const FileDecodeOutcome outcome =
            DecodeFoundFile(session, *base, work_, catalogue.At(2), OutDir());
        CloseMessageArea(base);
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(catalogue.At(2).name, c.name);
        const std::string bytes = ReadOut(outcome.outputName);
        EXPECT_TRUE(bytes == c.bytes) << bytes.size() << " bytes";
      }
    }
  }

 private:
  int areas_ = 0;
  FileDecodeWork work_;
};

Lines Joined(Lines lines, const Lines& more) {
  lines.insert(lines.end(), more.begin(), more.end());
  return lines;
}

TEST_F(SectionBoundsTest, KludgeLinesEndTheDataOfEveryKindOfSection) {
  // Kludges that read as data once their 0x01 is dropped and blanks become the zero
  // character: the PATH lines have the length their first letter announces in UU and XX.
  const std::string msgId = "\x01MSGID: 2:5020/9999 0c7a870c";
  const std::string pid = "\x01PID: Veldmark 1.61.40";
  const std::string uuPath =
      "\x01PATH: 5020/9999 5020/1 5020/100 5020/2 5020/200 5020/300 5020/400";
  const std::string xxPath = "\x01PATH: 5020/9999 5020/1 5020/100 5020/2";
  const std::string data = test::TestBytes(45 * 6, 3);
  const std::string sep = OwnTextSeparator();
  // Two sections; the first without sum lines (as some posters leave it): data, a blank
  // line, the kludge.
  auto encoded = [&](EncodingKind kind, const std::string& path) {
    std::vector<Lines> sections = test::UuSections(data, "pack.zip", 3, kind);
    Lines& first = sections[0];
    first.erase(first.end() - 2, first.end());
    first.push_back(path);
    return sections;
  };
  settings.EXTRACTXCK = true;
  ExpectDecodedOverEveryBase({
      {"UU", encoded(EncodingKind::Uu, uuPath), "PACK.ZIP", data},
      {"XX", encoded(EncodingKind::Xx, xxPath), "PACK.ZIP", data},
      {"MIME", {Joined(test::MimePart(data, "PACK.ZIP", 1, 1), {msgId, pid})}, "PACK.ZIP", data},
      // Text sections whose closing line is missing: the kludges are no part of the text.
      {"own text",
       {{Cp866("Секция 1 из 1 файла a.txt"), sep, "one", "", msgId, pid}},
       "A.TXT",
       "one\r\n\r\n",
       decode_flag::kTextError},
      {"FastPost",
       {{"TextSection 1 of 1 of file a.txt", "Text Begin.", "one", msgId}},
       "A.TXT",
       "one\r\n",
       decode_flag::kTextError},
      {"crack",
       {{"[BEGINCRK]", "Tool", msgId, "[ENDCRK]"}},
       "Tool.crk",
       "[BEGINCRK]\r\nTool\r\n",
       decode_flag::kTextError},
  });
}

TEST_F(SectionBoundsTest, MimeDataStartAfterTheHeadersWhereverTheNameStands) {
  const std::string data = test::TestBytes(57 * 4 + 5, 8);
  const std::string type = "Content-Type: application/octet-stream;";
  // A part whose content-type line is replaced by the name's line after `type`.
  auto part = [&](const std::string& chunk, int number, int total, const std::string& name) {
    Lines lines = test::MimePart(chunk, "TEST.ZIP", number, total);
    auto at = std::find_if(lines.begin(), lines.end(),
                           [&](const std::string& line) { return line.rfind(type, 0) == 0; });
    *at = name;
    lines.insert(at, type);
    return lines;
  };
  // Longer than the 78 characters a header line is read with: the name comes as a line of
  // its own.
  const std::string longName = "A_LONG_NAME_THAT_WRAPS_THE_HEADER.ZIP";
  const Lines longPart = test::MimePart(data, longName, 1, 1);
  ASSERT_GT(longPart[1].size(), 78u);
  ExpectDecodedOverEveryBase({
      {"folded with blanks", {part(data, 1, 1, "  name=\"TEST.ZIP\"")}, "TEST.ZIP", data},
      {"folded with a tab", {part(data, 1, 1, "\tname=\"TEST.ZIP\"")}, "TEST.ZIP", data},
      {"long name", {longPart}, longName.substr(0, 12), data},
      {"folded in message/partial parts",
       {part(data.substr(0, 57), 1, 2, " name=\"TEST.ZIP\""),
        part(data.substr(57), 2, 2, " name=\"TEST.ZIP\"")},
       "TEST.ZIP",
       data},
  });
}

}  // namespace
}  // namespace vm
