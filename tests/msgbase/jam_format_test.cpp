// The pieces of the JAM format: the CRC, subfields, kludge filing and dates.
#include <gtest/gtest.h>

#include "msgbase/jam/jam_crc.h"
#include "msgbase/jam/jam_layout.h"
#include "msgbase/jam/jam_subfields.h"
#include "msgbase/jam/jam_time.h"
#include "text/cp866.h"
#include "text/date_text.h"

namespace vm::jam {
namespace {

TEST(JamCrcTest, KnownValuesAndAsciiOnlyFolding) {
  EXPECT_EQ(JamCrc("John Doe"), 0x54fcca8fu);
  EXPECT_EQ(JamCrc(""), 0xffffffffu);
  EXPECT_EQ(JamCrc("JOHN DOE"), JamCrc("john doe"));
  // Cyrillic letters are not folded: other programs do not know the code page.
  EXPECT_NE(JamCrc(Cp866("ИВАН")), JamCrc(Cp866("иван")));
}

TEST(JamSubfieldTest, EncodeDecodeRoundTripAndTheWriteLimit) {
  std::vector<Subfield> fields = {{sub::kFromName, "A"},
                                  {sub::kKludge, std::string(3000, 'k')},
                                  {sub::kKludge, std::string(1000, 'x')},
                                  {sub::kPid, "P"}};
  std::string area = EncodeSubfields(fields);
  // The 1000-byte kludge would pass 4000 bytes and is left out; the small one after it fits.
  EXPECT_EQ(area.size(), 8 + 1 + 8 + 3000 + 8 + 1u);
  EXPECT_EQ(DecodeSubfields(area), (std::vector<Subfield>{fields[0], fields[1], fields[3]}));
  EXPECT_EQ(GetLe16(area, kSubIdHigh), 0);
}

TEST(JamSubfieldTest, DamagedAreaKeepsWhatCameBefore) {
  std::string area = EncodeSubfields({{sub::kFromName, "Sender"}, {sub::kToName, "All"}});
  std::string damaged = area;
  PutLe32(damaged, 14 + kSubLength, 0xFFFFFFF0);  // the second length runs far past the end
  EXPECT_EQ(DecodeSubfields(damaged), (std::vector<Subfield>{{sub::kFromName, "Sender"}}));
  EXPECT_EQ(DecodeSubfields(area.substr(0, area.size() - 1)).size(), 1u);
  EXPECT_TRUE(DecodeSubfields(area.substr(0, 5)).empty());
}

TEST(JamSubfieldTest, ReadersSeeNamesAddressesAndKludgeLines) {
  std::vector<Subfield> fields = {{sub::kOrigAddress, "2:5020/9999.3@fidonet"},
                                  {sub::kDestAddress, "not an address"},
                                  {sub::kFromName, std::string(80, 'f')},
                                  {sub::kSubject, "Subj"},
                                  {sub::kMsgId, "2:5020/9999 1"},
                                  {sub::kTrace, "2:5020/1 @20240101"},
                                  {sub::kSeenBy, "5020/1 9999"},
                                  {sub::kKludge, std::string("BAD\rLINE\0x", 10)},
                                  {sub::kPath, std::string(300, 'p')},
                                  {sub::kTimeZone, "0300"},
                                  {1000, "binary"},
                                  {sub::kAttachedFile, "FILE.ZIP"}};
  MessageFields read = InterpretSubfields(fields, 0);
  EXPECT_EQ(read.orig, (NetAddress{2, 5020, 9999, 3}));
  EXPECT_TRUE(read.dest.IsEmpty());
  EXPECT_EQ(read.fromName, std::string(65, 'f'));
  EXPECT_EQ(read.subject, "Subj");
  EXPECT_EQ(read.kludgeLines,
            "\x01MSGID: 2:5020/9999 1\r\x01Via 2:5020/1 @20240101\r"
            "\x01SEEN-BY: 5020/1 9999\r\x01"
            "BAD\r\x01PATH: " +
                std::string(240, 'p') + "\r\x01TZUTC: 0300\r");
  // File names stand in for the subject of file attaches and requests.
  EXPECT_EQ(InterpretSubfields(fields, bit::kFileAttached).subject, "FILE.ZIP");
  EXPECT_EQ(InterpretSubfields({{sub::kRequestedFiles, "A.ZIP"}, {sub::kRequestedFiles, "B.ZIP"}},
                               bit::kFileRequest)
                .subject,
            "A.ZIP B.ZIP");
}

TEST(JamSubfieldTest, KludgeLinesAreFiledByKeyword) {
  auto filed = [](std::string_view line) { return FileKludgeLine(line); };
  EXPECT_FALSE(filed("\x01INTL 2:5020/1 2:5020/2"));
  EXPECT_FALSE(filed("\x01TOPT 3"));
  EXPECT_FALSE(
      filed("\x01"
            "FMPT 3"));
  EXPECT_EQ(filed("\x01MSGID: 2:5020/1 abc  "), (Subfield{sub::kMsgId, "2:5020/1 abc"}));
  EXPECT_EQ(filed("\x01REPLY: 2:5020/1 def"), (Subfield{sub::kReply, "2:5020/1 def"}));
  EXPECT_EQ(filed("\x01PID: " + std::string(50, 'v')), (Subfield{sub::kPid, std::string(40, 'v')}));
  EXPECT_EQ(filed("\x01PATH: 5020/1 9999"), (Subfield{sub::kPath, "5020/1 9999"}));
  EXPECT_EQ(filed("\x01"
                  "CHRS: CP866 2 "),
            (Subfield{sub::kKludge, "CHRS: CP866 2"}));
  // Longer keywords that begin like known ones are other kludges, kept whole.
  EXPECT_EQ(filed("\x01REPLYADDR user@host"), (Subfield{sub::kKludge, "REPLYADDR user@host"}));
  EXPECT_EQ(filed("\x01PIDX: 1"), (Subfield{sub::kKludge, "PIDX: 1"}));
  EXPECT_EQ(filed("\x01INTLX 1"), (Subfield{sub::kKludge, "INTLX 1"}));
}

TEST(JamTimeTest, LocalSecondsAndTexts) {
  DateTime leap{2024, 2, 29, 23, 59, 58};
  uint32_t seconds = JamTimeFrom(leap);
  EXPECT_EQ(seconds, 1709251198u);
  DateTime back = DateTimeFromJamTime(seconds);
  EXPECT_EQ(DateTextOf(back), "02-29-24");
  EXPECT_EQ(TimeTextOf(back), "23:59");
  EXPECT_EQ(back.second, 58);
  EXPECT_EQ(DateTextOf(DateTimeFromJamTime(0)), "01-01-70");
  EXPECT_EQ(DateTextOf(DateTimeFromJamTime(0xFFFFFFFF)), "02-07-06");  // 2106
  EXPECT_EQ(JamTimeFrom(DateTime{1960, 1, 1, 0, 0, 0}), 0u);

  DateTimeFields parsed = ReadDateTimeTexts("12-31-99", "07:05");
  ASSERT_TRUE(parsed.HasDate() && parsed.HasTime());
  EXPECT_EQ(parsed.ToDateTime().year, 1999);
  EXPECT_EQ(parsed.ToDateTime().minute, 5);
  EXPECT_EQ(ReadDateTimeTexts("01-02-03", "04:05").ToDateTime().year, 2003);
  EXPECT_FALSE(ReadDateTimeTexts("13-01-24", "00:00").HasDate());
  EXPECT_FALSE(ReadDateTimeTexts("01-01-24", "24:00").HasTime());
  EXPECT_FALSE(ReadDateTimeTexts("1-1-2024", "00:00").HasDate());
}

}  // namespace
}  // namespace vm::jam
