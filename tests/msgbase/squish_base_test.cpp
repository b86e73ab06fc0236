// The Squish variant through the message-base interface: creating and reopening bases, what
// is stored where, numbering and seeking, trimming, frame reuse, control information, header
// rewrites and last-read pointers.
#include "msgbase/squish/squish_base.h"

#include <gtest/gtest.h>

#include "msgbase/squish/squish_format.h"
#include "squish_test_support.h"

namespace vm {
namespace {

using namespace squish_test;

BaseHeader HeaderOnDisk(const std::string& base) {
  std::string sqd = ReadBytes(base + ".SQD");
  return DecodeBaseHeader(reinterpret_cast<const uint8_t*>(sqd.data()));
}

std::vector<IndexRecord> IndexOnDisk(const std::string& base) {
  std::string sqi = ReadBytes(base + ".SQI");
  std::vector<IndexRecord> records;
  for (size_t at = 0; at + kIndexRecordSize <= sqi.size(); at += kIndexRecordSize) {
    records.push_back(DecodeIndexRecord(reinterpret_cast<const uint8_t*>(sqi.data()) + at));
  }
  return records;
}

TEST(SquishHash, MatchesKnownValuesAndFoldsOnlyAsciiCapitals) {
  EXPECT_EQ(SquishHash("John Doe"), 0x15f07055u);
  EXPECT_EQ(SquishHash("Alexander Ivanov"), 0x4f8f0fe6u);
  EXPECT_EQ(SquishHash(""), 0u);
  EXPECT_EQ(SquishHash("JOHN DOE"), SquishHash("john doe"));
  // CP866 capitals (0x80..0x9F) and small letters (0xA0..0xAF) stay distinct.
  EXPECT_NE(SquishHash("\x88\xA2\xA0\xAD"), SquishHash("\xA8\xA2\xA0\xAD"));
  EXPECT_EQ(SquishHash("A very long name that overflows many times") & 0x80000000u, 0u);
}

TEST(SquishFormat, ReservedAndUnusedFieldsAreCarriedThrough) {
  BaseHeader header;
  header.reserved[5] = 0x5A;
  auto bytes = EncodeBaseHeader(header);
  EXPECT_EQ(bytes[137], 0x5A);
  EXPECT_EQ(DecodeBaseHeader(bytes.data()).reserved[5], 0x5A);
  MessageHeader message;
  message.replies[8] = 0xCAFEBABE;  // reply slots we never set are kept as found
  auto mbytes = EncodeMessageHeader(message);
  EXPECT_EQ(GetLe32(&mbytes[178 + 32], 0), 0xCAFEBABEu);
  EXPECT_EQ(DecodeMessageHeader(mbytes.data()).replies[8], 0xCAFEBABEu);
}

TEST(SquishBase, CreateMakesTheDirectoryAndAnEmptyBase) {
  ScopedTempDir dir;
  std::string path = dir.path() + "/NEW/SUB/ECHO";
  SquishBase base;
  base.SetAreaPath(path);
  EXPECT_FALSE(base.Exists());
  ASSERT_EQ(base.Create(150, 14), 0);
  EXPECT_TRUE(base.Exists());
  EXPECT_EQ(fs::file_size(path + ".SQD"), 256u);
  EXPECT_EQ(fs::file_size(path + ".SQI"), 0u);
  EXPECT_TRUE(fs::exists(path + ".SQL"));
  BaseHeader header = HeaderOnDisk(path);
  EXPECT_EQ(header.length, 256);
  EXPECT_EQ(header.frameHeaderSize, 28);
  EXPECT_EQ(header.uid, 1u);
  EXPECT_EQ(header.endFrame, 256u);
  EXPECT_EQ(header.maxMsg, 150u);
  EXPECT_EQ(header.keepDays, 14);
  EXPECT_EQ(FieldText(header.baseName), path);

  ASSERT_EQ(base.Open(), 0);
  EXPECT_EQ(base.Create(10, 10), kAlreadyOpen);
  EXPECT_EQ(base.ActiveCount(), 0);
  EXPECT_EQ(base.HighActiveNumber(), 0);
  base.SeekFrom(0);
  EXPECT_FALSE(base.Found());
}

TEST(SquishBase, LongPathsAreUsedWhole) {
  ScopedTempDir dir;
  std::string path = dir.path() + "/" + std::string(90, 'd') + "/ECHO";
  MessageBaseHandle handle;
  ASSERT_TRUE(OpenOrCreateMessageArea("S" + path, handle));
  EXPECT_EQ(WriteSimpleMessage(*handle, "X", "text"), 0);
  ASSERT_TRUE(CloseMessageArea(handle));
  EXPECT_TRUE(fs::exists(path + ".SQD"));
  EXPECT_EQ(FieldText(HeaderOnDisk(path).baseName).size(), 79u);
}

TEST(SquishBase, CreateLeavesAnExistingBaseAlone) {
  ScopedTempDir dir;
  SquishBase base;
  base.SetAreaPath(dir / "AREA");
  ASSERT_EQ(base.Create(0, 0), 0);
  ASSERT_EQ(base.Open(), 0);
  ASSERT_EQ(WriteSimpleMessage(base, "Someone", "kept\r"), 0);
  base.Close();
  std::string before = ReadBytes((dir / "AREA") + ".SQD");
  SquishBase again;
  again.SetAreaPath(dir / "AREA");
  EXPECT_EQ(again.Create(200, 10), 0);
  EXPECT_EQ(ReadBytes((dir / "AREA") + ".SQD"), before);
  EXPECT_EQ(IndexOnDisk(dir / "AREA").size(), 1u);
}

TEST(SquishBase, MessagesReadBackWithEveryField) {
  ScopedTempDir dir;
  MessageBaseHandle handle;
  ASSERT_TRUE(OpenOrCreateMessageArea("s" + (dir / "AREA"), handle));
  ASSERT_NE(dynamic_cast<SquishBase*>(handle.get()), nullptr);
  MessageBase& base = *handle;
  base.StartNewMessage();
  base.SetMailKind(MailKind::Netmail);
  base.SetEchoed(false);
  base.SetFromName("A sender whose name is much longer than the field");
  base.SetToName("John Doe");
  base.SetOrigAddress(NetAddress{2, 5020, 1, 0});
  base.SetDestAddress(NetAddress{2, 5030, 7, 3});
  base.SetDateText("12-31-99");
  base.SetTimeText("23:59");
  base.SetPrivate(true);
  base.SetCrash(true);
  base.SetLocal(true);
  base.SetReplyTo(17);
  base.PutLine("First line");
  base.SetSubject(std::string(80, 'S'));
  base.PutKludge("\x01MSGID: 2:5020/1 0badcafe");
  ASSERT_EQ(base.WriteMessage(), 0);
  ASSERT_EQ(WriteSimpleMessage(base, "Second", "two\r"), 0);
  ASSERT_TRUE(CloseMessageArea(handle));

  ASSERT_TRUE(OpenMessageArea("S" + (dir / "AREA"), handle));
  MessageBase& reread = *handle;
  EXPECT_EQ(reread.ActiveCount(), 2);
  EXPECT_EQ(reread.HighNumber(), 2);
  reread.SeekFrom(1);
  ASSERT_TRUE(reread.Found());
  reread.LoadHeader();
  EXPECT_EQ(reread.MessageNumber(), 1);
  EXPECT_EQ(reread.DisplayNumber(), 1);
  EXPECT_EQ(reread.FromName(), "A sender whose name is much longer ");  // 35 bytes
  EXPECT_EQ(reread.ToName(), "John Doe");
  EXPECT_EQ(reread.Subject(), std::string(72, 'S'));  // fills the field, no terminator
  EXPECT_EQ(reread.DateText(), "12-31-99");
  EXPECT_EQ(reread.TimeText(), "23:59");
  EXPECT_EQ(reread.ReplyTo(), 17);
  NetAddress orig, dest;
  reread.GetOrigAddress(orig);
  reread.GetDestAddress(dest);
  EXPECT_EQ(orig, (NetAddress{2, 5020, 1, 0}));
  EXPECT_EQ(dest, (NetAddress{2, 5030, 7, 3}));
  EXPECT_TRUE(reread.IsPrivate());
  EXPECT_TRUE(reread.IsCrash());
  EXPECT_TRUE(reread.IsLocal());
  EXPECT_FALSE(reread.IsSent());
  EXPECT_FALSE(reread.IsDeleted());
  EXPECT_FALSE(reread.IsEchoed());
  reread.StartReading();
  EXPECT_EQ(reread.NextLine(255), "First line");
  EXPECT_EQ(reread.NextLine(255), "\x01MSGID: 2:5020/1 0badcafe");  // our kludges stay in the text
  reread.NextLine(255);
  EXPECT_TRUE(reread.TextEnded());
  reread.SeekNext();
  reread.LoadHeader();
  EXPECT_EQ(reread.MessageNumber(), 2);
  EXPECT_TRUE(reread.IsEchoed());
  EXPECT_EQ(reread.HighActiveNumber(), 2);
  ASSERT_TRUE(CloseMessageArea(handle));

  std::string sqd = ReadBytes((dir / "AREA") + ".SQD");
  MessageHeader first =
      DecodeMessageHeader(reinterpret_cast<const uint8_t*>(sqd.data()) + 256 + 28);
  EXPECT_EQ(FieldText(first.ftscDate), "31 Dec 99  23:59:00");
  EXPECT_EQ(first.attr & 0xFFFF, attr::kPrivate | attr::kCrash | attr::kLocal);
  EXPECT_EQ(first.attr & kAttrScanned, kAttrScanned);
  EXPECT_EQ(IndexOnDisk(dir / "AREA")[0].hash, 0x15f07055u);
}

TEST(SquishBase, SeekingByUniqueNumber) {
  ScopedTempDir dir;
  SquishBase base;
  base.SetAreaPath(dir / "AREA");
  ASSERT_EQ(base.Create(0, 0), 0);
  ASSERT_EQ(base.Open(), 0);
  for (int i = 1; i <= 5; ++i) ASSERT_EQ(WriteSimpleMessage(base, "X", std::to_string(i)), 0);
  base.SeekFrom(3);
  base.DeleteMessage();
  ASSERT_EQ(base.Status(), 0);

  base.SeekFrom(0);
  ASSERT_TRUE(base.Found());
  EXPECT_EQ(base.MessageNumber(), 1);
  base.SeekFrom(3);  // deleted: lands on the next one
  EXPECT_EQ(base.MessageNumber(), 4);
  EXPECT_EQ(base.DisplayNumber(), 3);
  base.SeekFrom(6);
  EXPECT_FALSE(base.Found());
  base.SeekPrevious();
  EXPECT_EQ(base.MessageNumber(), 5);
  base.SeekFrom(1);
  base.SeekPrevious();
  EXPECT_FALSE(base.Found());
  base.SeekNext();
  EXPECT_EQ(base.MessageNumber(), 1);
  EXPECT_EQ(base.HighNumber(), 5);
  EXPECT_EQ(base.ActiveCount(), 4);
}

TEST(SquishBase, DeletingWhileScanningVisitsEveryOtherMessageOnce) {
  ScopedTempDir dir;
  SquishBase base;
  base.SetAreaPath(dir / "AREA");
  ASSERT_EQ(base.Create(0, 0), 0);
  ASSERT_EQ(base.Open(), 0);
  for (int i = 1; i <= 6; ++i) ASSERT_EQ(WriteSimpleMessage(base, "X", std::to_string(i)), 0);
  std::vector<int32_t> seen;
  for (base.SeekFrom(0); base.Found(); base.SeekNext()) {
    seen.push_back(base.MessageNumber());
    if (base.MessageNumber() % 2 == 1) base.DeleteMessage();
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(base.ActiveCount(), 3);
  EXPECT_EQ(CheckChains(dir / "AREA").problem, "");
}

TEST(SquishBase, HeaderLengthAndFrameHeaderSizeRules) {
  ScopedTempDir dir;
  SquishImage image;
  image.AddMessage("A", "", std::string("text\r") + '\0');
  image.header.length = 0;
  image.header.frameHeaderSize = 0;
  image.Save(dir / "AREA");
  SquishBase base;
  base.SetAreaPath(dir / "AREA");
  ASSERT_EQ(base.Open(), 0);
  base.SeekFrom(0);
  EXPECT_EQ(ReadAllText(base), "text");
  ASSERT_EQ(WriteSimpleMessage(base, "B", "more"), 0);
  base.Close();
  BaseHeader header = HeaderOnDisk(dir / "AREA");
  EXPECT_EQ(header.length, 256);
  EXPECT_EQ(header.frameHeaderSize, 28);
  EXPECT_EQ(CheckChains(dir / "AREA").problem, "");

  for (uint16_t length : {356, 357, 65535}) {
    image.header.length = length;
    image.Save(dir / "AREA");
    SquishBase other;
    other.SetAreaPath(dir / "AREA");
    EXPECT_EQ(other.Open(), length >= 357 ? kBadHeader : 0) << length;
  }
  MessageBaseHandle handle;
  EXPECT_FALSE(OpenMessageArea("S" + (dir / "AREA"), handle));
  EXPECT_EQ(handle, nullptr);
}

TEST(SquishBase, MissingOrShortFilesFailToOpen) {
  ScopedTempDir dir;
  SquishBase base;
  base.SetAreaPath(dir / "AREA");
  EXPECT_EQ(base.Open(), kIndexOpenFailed);
  WriteBytes((dir / "AREA") + ".SQI", "");
  EXPECT_EQ(base.Open(), 2);
  WriteBytes((dir / "AREA") + ".SQD", std::string(100, '\0'));
  EXPECT_NE(base.Open(), 0);
}

TEST(SquishBase, TheMessageBeyondTheMaximumTrimsTheOldest) {
  ScopedTempDir dir;
  SquishBase base;
  base.SetAreaPath(dir / "AREA");
  ASSERT_EQ(base.Create(200, 10), 0);
  ASSERT_EQ(base.Open(), 0);
  for (int i = 1; i <= 201; ++i)
    ASSERT_EQ(WriteSimpleMessage(base, "X", "message " + std::to_string(i)), 0);
  EXPECT_EQ(base.ActiveCount(), 200);
  base.SeekFrom(0);
  EXPECT_EQ(base.MessageNumber(), 2);
  EXPECT_EQ(ReadAllText(base), "message 2");
  EXPECT_EQ(base.HighActiveNumber(), 201);
  base.Close();
  ChainReport chains = CheckChains(dir / "AREA");
  EXPECT_EQ(chains.problem, "");
  EXPECT_EQ(chains.freeFrames.size(), 1u);
}

TEST(SquishBase, TrimmingSparesTheProtectedOldestMessages) {
  ScopedTempDir dir;
  SquishBase base;
  base.SetAreaPath(dir / "AREA");
  ASSERT_EQ(base.Create(5, 0), 0);
  std::string sqd = ReadBytes((dir / "AREA") + ".SQD");
  BaseHeader header = DecodeBaseHeader(reinterpret_cast<const uint8_t*>(sqd.data()));
  header.skipMsg = 2;
  WriteBytes((dir / "AREA") + ".SQD", AsString(EncodeBaseHeader(header)));
  ASSERT_EQ(base.Open(), 0);
  for (int i = 1; i <= 7; ++i) ASSERT_EQ(WriteSimpleMessage(base, "X", std::to_string(i)), 0);
  std::vector<int32_t> numbers;
  for (base.SeekFrom(0); base.Found(); base.SeekNext()) numbers.push_back(base.MessageNumber());
  EXPECT_EQ(numbers, (std::vector<int32_t>{1, 2, 5, 6, 7}));
}

TEST(SquishBase, FreedFramesAreReusedOnlyWhenStrictlyLarger) {
  ScopedTempDir dir;
  SquishBase base;
  base.SetAreaPath(dir / "AREA");
  ASSERT_EQ(base.Create(0, 0), 0);
  ASSERT_EQ(base.Open(), 0);
  ASSERT_EQ(WriteSimpleMessage(base, "X", std::string(100, 'a')), 0);
  ASSERT_EQ(WriteSimpleMessage(base, "X", "keeper"), 0);
  base.SeekFrom(1);
  base.DeleteMessage();
  ASSERT_EQ(base.Status(), 0);
  uint32_t freed = HeaderOnDisk(dir / "AREA").firstFree;
  ASSERT_NE(freed, 0u);
  auto size = fs::file_size((dir / "AREA") + ".SQD");

  // Exactly the freed frame's length: a new frame at the end.
  ASSERT_EQ(WriteSimpleMessage(base, "X", std::string(100, 'b')), 0);
  EXPECT_GT(fs::file_size((dir / "AREA") + ".SQD"), size);
  EXPECT_EQ(HeaderOnDisk(dir / "AREA").firstFree, freed);
  size = fs::file_size((dir / "AREA") + ".SQD");

  // One byte shorter: the freed frame is taken and keeps its length.
  ASSERT_EQ(WriteSimpleMessage(base, "X", std::string(99, 'c')), 0);
  EXPECT_EQ(fs::file_size((dir / "AREA") + ".SQD"), size);
  BaseHeader header = HeaderOnDisk(dir / "AREA");
  EXPECT_EQ(header.firstFree, 0u);
  EXPECT_EQ(header.lastFree, 0u);
  EXPECT_EQ(header.lastFrame, freed);
  base.Close();
  ChainReport chains = CheckChains(dir / "AREA");
  EXPECT_EQ(chains.problem, "");
  std::string sqd = ReadBytes((dir / "AREA") + ".SQD");
  FrameHeader reused = DecodeFrameHeader(reinterpret_cast<const uint8_t*>(sqd.data()) + freed);
  EXPECT_EQ(reused.frameLength, 238u + 101u);
  EXPECT_EQ(reused.msgLength, 238u + 100u);
}

TEST(SquishBase, SmallestLargerFreeFrameIsChosen) {
  ScopedTempDir dir;
  SquishImage image;
  image.AddMessage("A", "", std::string("a") + '\0');
  uint32_t big = image.AddFree(400);
  uint32_t fit = image.AddFree(300);
  uint32_t fitToo = image.AddFree(300);
  image.Save(dir / "AREA");
  SquishBase base;
  base.SetAreaPath(dir / "AREA");
  ASSERT_EQ(base.Open(), 0);
  ASSERT_EQ(WriteSimpleMessage(base, "X", std::string(50, 'x')), 0);  // needs 289
  base.Close();
  ChainReport chains = CheckChains(dir / "AREA");
  ASSERT_EQ(chains.problem, "");
  EXPECT_EQ(chains.messages.back(), fit);
  EXPECT_EQ(chains.freeFrames, (std::vector<uint32_t>{big, fitToo}));
}

TEST(SquishBase, ControlInformationIsNotPartOfTheText) {
  ScopedTempDir dir;
  SquishImage image;
  std::string ctrl = "\x01MSGID: 2:5020/1 12345678\x01PID: Other 1.0";
  image.AddMessage("A", ctrl, std::string("Hello\rWorld\r") + '\0' + "after the end");
  image.Save(dir / "AREA");
  SquishBase base;
  base.SetAreaPath(dir / "AREA");
  ASSERT_EQ(base.Open(), 0);
  base.SeekFrom(1);
  base.LoadHeader();
  base.StartReading();
  EXPECT_EQ(base.TextPosition(), static_cast<int32_t>(ctrl.size()));
  EXPECT_EQ(base.NextPlainLine(255), "Hello");
  int32_t mark = base.TextPosition();
  EXPECT_EQ(base.NextLine(255), "World");
  EXPECT_EQ(base.NextLine(255), "");
  EXPECT_TRUE(base.TextEnded());
  // Going back to a remembered position, as the decoder does.
  base.StartReading();
  base.SetTextPosition(mark);
  EXPECT_EQ(base.NextLine(255), "World");
}

TEST(SquishBase, RewriteHeaderMarksReceivedInTheIndex) {
  ScopedTempDir dir;
  SquishBase base;
  base.SetAreaPath(dir / "AREA");
  ASSERT_EQ(base.Create(0, 0), 0);
  ASSERT_EQ(base.Open(), 0);
  ASSERT_EQ(WriteSimpleMessage(base, "John Doe", "one"), 0);
  ASSERT_EQ(WriteSimpleMessage(base, "Other", "two"), 0);
  base.SeekFrom(1);
  base.LoadHeader();
  base.SetReceived(true);
  base.RewriteHeader();
  EXPECT_EQ(base.Status(), 0);
  base.Close();
  EXPECT_EQ(IndexOnDisk(dir / "AREA")[0].hash, 0x15f07055u | kHashReceived);
  ASSERT_EQ(base.Open(), 0);
  base.SeekFrom(1);
  base.LoadHeader();
  EXPECT_TRUE(base.IsReceived());
  EXPECT_EQ(ReadAllText(base), "one");
  EXPECT_EQ(CheckChains(dir / "AREA").problem, "");
}

TEST(SquishBase, RewriteHeaderKeepsLinksAnotherWriterAdded) {
  ScopedTempDir dir;
  SquishBase reader, writer;
  reader.SetAreaPath(dir / "AREA");
  writer.SetAreaPath(dir / "AREA");
  ASSERT_EQ(reader.Create(0, 0), 0);
  ASSERT_EQ(reader.Open(), 0);
  ASSERT_EQ(writer.Open(), 0);
  ASSERT_EQ(WriteSimpleMessage(reader, "X", "last one"), 0);
  reader.SeekFrom(1);
  reader.LoadHeader();
  ASSERT_EQ(WriteSimpleMessage(writer, "Y", "appended meanwhile"), 0);
  reader.SetSent(true);
  reader.RewriteHeader();
  EXPECT_EQ(reader.Status(), 0);
  EXPECT_EQ(CheckChains(dir / "AREA").problem, "");
  reader.SeekFrom(2);
  EXPECT_EQ(ReadAllText(reader), "appended meanwhile");
}

TEST(SquishBase, LastReadPointers) {
  ScopedTempDir dir;
  SquishBase base;
  base.SetAreaPath(dir / "AREA");
  ASSERT_EQ(base.Create(0, 0), 0);
  EXPECT_EQ(base.GetLastRead(0), 0);
  base.SetLastRead(3, 77);
  EXPECT_EQ(fs::file_size((dir / "AREA") + ".SQL"), 16u);
  EXPECT_EQ(base.GetLastRead(3), 77);
  EXPECT_EQ(base.GetLastRead(1), 0);
  EXPECT_EQ(base.GetLastRead(4), 0);
  base.SetLastRead(0, 5);
  EXPECT_EQ(base.GetLastRead(0), 5);
  EXPECT_EQ(base.GetLastRead(3), 77);
}

}  // namespace
}  // namespace vm
