// The Squish layout checked against the public MSGAPI structure descriptions (_sqbase, _sqhdr,
// XMSG, SQIDX) rather than against this program's own encoders: a base typed field by field is
// read through SquishBase, and a message SquishBase writes is compared with the image the
// descriptions give, byte for byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "msgbase/squish/squish_base.h"
#include "support/platform_temp_dir.h"

namespace vm {
namespace {

// _sqbase: the 256-byte header at the start of the .SQD file.
constexpr size_t kBaseSize = 256;
constexpr size_t kBaseLen = 0, kBaseNumMsg = 4, kBaseHighMsg = 8, kBaseUid = 20, kBaseName = 24,
                 kBaseBeginFrame = 104, kBaseLastFrame = 108, kBaseFreeFrame = 112,
                 kBaseLastFreeFrame = 116, kBaseEndFrame = 120, kBaseMaxMsg = 124,
                 kBaseKeepDays = 128, kBaseSzSqhdr = 130;
// _sqhdr: the 28-byte frame header.
constexpr size_t kFrameSize = 28;
constexpr size_t kFrameId = 0, kFrameNext = 4, kFramePrev = 8, kFrameLength = 12,
                 kFrameMsgLength = 16, kFrameClen = 20, kFrameType = 24;
constexpr uint32_t kFrameSignature = 0xAFAE4453;
// XMSG: the 238-byte message header after the frame header; control information and the
// zero-terminated text follow it.
constexpr size_t kXmsgSize = 238;
constexpr size_t kXmsgAttr = 0, kXmsgFrom = 4, kXmsgTo = 40, kXmsgSubj = 76, kXmsgOrig = 148,
                 kXmsgDest = 156, kXmsgDateWritten = 164, kXmsgDateArrived = 168,
                 kXmsgFtscDate = 218;
constexpr uint32_t kMsgPrivate = 0x0001, kMsgRead = 0x0004, kMsgLocal = 0x0100;

// A little-endian image typed field by field.
struct Image {
  std::string bytes;

  void Put(size_t at, uint32_t value, size_t width) {
    if (bytes.size() < at + width) bytes.resize(at + width, '\0');
    for (size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
  }
  void Put16(size_t at, uint32_t value) { Put(at, value, 2); }
  void Zeros(size_t at, size_t count) { Text(at, std::string(count, '\0')); }
  void Put32(size_t at, uint32_t value) { Put(at, value, 4); }
  void Text(size_t at, const std::string& text) {
    if (bytes.size() < at + text.size()) bytes.resize(at + text.size(), '\0');
    bytes.replace(at, text.size(), text);
  }
  void Address(size_t at, uint16_t zone, uint16_t net, uint16_t node, uint16_t point) {
    Put16(at, zone);
    Put16(at + 2, net);
    Put16(at + 4, node);
    Put16(at + 6, point);
  }
  // A DOS date word followed by a DOS time word.
  void Stamp(size_t at, int year, int month, int day, int hour, int minute, int second) {
    Put16(at, (year - 1980) << 9 | month << 5 | day);
    Put16(at + 2, hour << 11 | minute << 5 | second / 2);
  }
};

struct Message {
  uint32_t attr = 0;
  std::string from, to, subject, control, text, ftscDate;
};

// Appends a message frame (frame header, XMSG, control information, text and its zero) with
// `slack` unused bytes at the end of the frame; returns the frame's offset.
uint32_t AddFrame(Image& sqd, uint32_t prev, const Message& m, uint32_t slack) {
  const uint32_t at = static_cast<uint32_t>(sqd.bytes.size());
  const uint32_t msgLength =
      static_cast<uint32_t>(kXmsgSize + m.control.size() + m.text.size() + 1);
  sqd.Put32(at + kFrameId, kFrameSignature);
  sqd.Put32(at + kFramePrev, prev);
  sqd.Put32(at + kFrameLength, msgLength + slack);
  sqd.Put32(at + kFrameMsgLength, msgLength);
  sqd.Put32(at + kFrameClen, static_cast<uint32_t>(m.control.size()));
  sqd.Put16(at + kFrameType, 0);
  const size_t xmsg = at + kFrameSize;
  sqd.Put32(xmsg + kXmsgAttr, m.attr);
  sqd.Text(xmsg + kXmsgFrom, m.from);
  sqd.Text(xmsg + kXmsgTo, m.to);
  sqd.Text(xmsg + kXmsgSubj, m.subject);
  sqd.Address(xmsg + kXmsgOrig, 2, 5020, 1, 0);
  sqd.Address(xmsg + kXmsgDest, 2, 5020, 2, 3);
  sqd.Stamp(xmsg + kXmsgDateWritten, 2024, 3, 14, 15, 9, 0);
  sqd.Text(xmsg + kXmsgFtscDate, m.ftscDate);
  sqd.Text(xmsg + kXmsgSize, m.control + m.text);
  sqd.Zeros(xmsg + kXmsgSize + m.control.size() + m.text.size(), 1 + slack);
  if (prev != 0) sqd.Put32(prev + kFrameNext, at);
  return at;
}

void PutBaseHeader(Image& sqd, uint32_t count, uint32_t first, uint32_t last) {
  sqd.Put16(kBaseLen, kBaseSize);
  sqd.Put32(kBaseNumMsg, count);
  sqd.Put32(kBaseHighMsg, count);
  sqd.Put32(kBaseUid, count + 1);
  sqd.Put32(kBaseBeginFrame, first);
  sqd.Put32(kBaseLastFrame, last);
  sqd.Put32(kBaseEndFrame, static_cast<uint32_t>(sqd.bytes.size()));
  sqd.Put16(kBaseSzSqhdr, kFrameSize);
}

// SQIDX: frame offset, unique message number, hash of the to name.
void AddIndex(Image& sqi, uint32_t offset, uint32_t umsgid, uint32_t hash) {
  const size_t at = sqi.bytes.size();
  sqi.Put32(at, offset);
  sqi.Put32(at + 4, umsgid);
  sqi.Put32(at + 8, hash);
}

TEST(SquishLayout, TypedBaseReadsBack) {
  ScopedTempDir dir;
  Image sqd;
  sqd.bytes.assign(kBaseSize, '\0');
  Message first{kMsgPrivate | kMsgLocal,
                "Sender",
                "John Doe",
                "Layout",
                std::string("\x01MSGID: 2:5020/1 1\x01PID: typed") + '\0',
                "Hello\rsecond line\r",
                "14 Mar 24  15:09:00"};
  const uint32_t one = AddFrame(sqd, 0, first, 10);
  // A free frame between the messages, on the free chain alone.
  const uint32_t free = static_cast<uint32_t>(sqd.bytes.size());
  sqd.Put32(free + kFrameId, kFrameSignature);
  sqd.Put32(free + kFrameLength, 40);
  sqd.Put16(free + kFrameType, 1);
  sqd.Zeros(free + kFrameSize, 40);
  Message second{kMsgRead, "Other", "Alexander Ivanov", "Second", "", "Read already\r", ""};
  const uint32_t two = AddFrame(sqd, one, second, 0);
  sqd.Put32(kBaseFreeFrame, free);
  sqd.Put32(kBaseLastFreeFrame, free);
  PutBaseHeader(sqd, 2, one, two);
  Image sqi;
  AddIndex(sqi, one, 1, 0x15F07055);               // the hash of "John Doe"
  AddIndex(sqi, two, 2, 0x4F8F0FE6 | 0x80000000);  // of "Alexander Ivanov", read
  dir.WriteFile("AREA.SQD", sqd.bytes);
  dir.WriteFile("AREA.SQI", sqi.bytes);

  SquishBase base;
  base.SetAreaPath(dir / "AREA");
  ASSERT_EQ(base.Open(), 0);
  EXPECT_EQ(base.ActiveCount(), 2);
  base.SeekFrom(1);
  ASSERT_TRUE(base.Found());
  base.LoadHeader();
  EXPECT_EQ(base.MessageNumber(), 1);
  EXPECT_EQ(base.FromName(), "Sender");
  EXPECT_EQ(base.ToName(), "John Doe");
  EXPECT_EQ(base.Subject(), "Layout");
  EXPECT_EQ(base.DateText(), "03-14-24");
  EXPECT_EQ(base.TimeText(), "15:09");
  NetAddress orig, dest;
  base.GetOrigAddress(orig);
  base.GetDestAddress(dest);
  EXPECT_EQ(orig, (NetAddress{2, 5020, 1, 0}));
  EXPECT_EQ(dest, (NetAddress{2, 5020, 2, 3}));
  EXPECT_TRUE(base.IsPrivate());
  EXPECT_TRUE(base.IsLocal());
  EXPECT_FALSE(base.IsReceived());
  base.StartReading();
  EXPECT_EQ(base.NextLine(255), "Hello");  // the control information is no part of the text
  EXPECT_EQ(base.NextLine(255), "second line");

  base.SeekNext();
  ASSERT_TRUE(base.Found());
  base.LoadHeader();
  EXPECT_EQ(base.MessageNumber(), 2);
  EXPECT_EQ(base.ToName(), "Alexander Ivanov");
  EXPECT_TRUE(base.IsReceived());
  EXPECT_FALSE(base.IsPrivate());
  base.StartReading();
  EXPECT_EQ(base.NextLine(255), "Read already");
  base.SeekNext();
  EXPECT_FALSE(base.Found());
  base.Close();
}

TEST(SquishLayout, WrittenMessageMatchesTheDescriptions) {
  ScopedTempDir dir;
  const std::string path = dir / "AREA";
  SquishBase base;
  base.SetAreaPath(path);
  ASSERT_EQ(base.Create(500, 30), 0);
  ASSERT_EQ(base.Open(), 0);
  base.StartNewMessage();
  base.SetFromName("Sender");
  base.SetToName("John Doe");
  base.SetSubject("Layout");
  base.SetOrigAddress(NetAddress{2, 5020, 1, 0});
  base.SetDestAddress(NetAddress{2, 5020, 2, 3});
  base.SetDateText("03-14-24");
  base.SetTimeText("15:09");
  base.SetPrivate(true);
  base.SetLocal(true);
  base.PutKludge("\x01MSGID: 2:5020/1 1");
  base.PutLine("Hello");
  ASSERT_EQ(base.WriteMessage(), 0);
  base.Close();

  Image sqd;
  sqd.bytes.assign(kBaseSize, '\0');
  sqd.Text(kBaseName, path);
  sqd.Put32(kBaseMaxMsg, 500);
  sqd.Put16(kBaseKeepDays, 30);
  // This program writes kludges into the text, as lines, and no control information.
  Message m{
      kMsgPrivate | kMsgLocal, "Sender", "John Doe", "Layout", "", "\x01MSGID: 2:5020/1 1\rHello\r",
      "14 Mar 24  15:09:00"};
  const uint32_t frame = AddFrame(sqd, 0, m, 0);
  PutBaseHeader(sqd, 1, frame, frame);
  Image sqi;
  AddIndex(sqi, frame, 1, 0x15F07055);

  std::string written = dir.ReadFile("AREA.SQD");
  ASSERT_EQ(written.size(), sqd.bytes.size());
  // The arrival stamp is the clock's: taken over from the file after checking its place.
  const size_t arrived = frame + kFrameSize + kXmsgDateArrived;
  EXPECT_NE(written.substr(arrived, 4), std::string(4, '\0'));
  sqd.Text(arrived, written.substr(arrived, 4));
  for (size_t i = 0; i < written.size(); ++i)
    ASSERT_EQ(static_cast<uint8_t>(written[i]), static_cast<uint8_t>(sqd.bytes[i])) << "at " << i;
  EXPECT_EQ(dir.ReadFile("AREA.SQI"), sqi.bytes);
}

}  // namespace
}  // namespace vm
