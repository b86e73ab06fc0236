// Damaged Squish bases: reading stops quietly at what does not hold together, writing refuses
// with a status and leaves the files as they were, and nothing crashes.
#include <gtest/gtest.h>

#include <functional>

#include "msgbase/squish/squish_base.h"
#include "squish_test_support.h"

namespace vm {
namespace {

using namespace squish_test;

// Three messages "one", "two", "three" with two free frames after them.
struct ThreeMessages {
  SquishImage image;
  uint32_t first, second, third, free1, free2;
  ThreeMessages() {
    first = image.AddMessage("A", "", std::string("one\r") + '\0');
    second = image.AddMessage("B", "", std::string("two\r") + '\0');
    third = image.AddMessage("C", "", std::string("three\r") + '\0');
    free1 = image.AddFree(500);
    free2 = image.AddFree(600);
  }
};

std::vector<std::string> ScanTexts(SquishBase& base) {
  std::vector<std::string> texts;
  for (base.SeekFrom(0); base.Found(); base.SeekNext()) texts.push_back(ReadAllText(base));
  return texts;
}

struct ReadDamage {
  const char* name;
  std::function<void(ThreeMessages&)> damage;
};

TEST(SquishDamage, ReadingSkipsADamagedMessageAndGoesOn) {
  const ReadDamage cases[] = {
      {"frame being updated",
       [](ThreeMessages& b) {
         FrameHeader f = b.image.Frame(b.second);
         f.type = 3;
         b.image.SetFrame(b.second, f);
       }},
      {"wrong frame id",
       [](ThreeMessages& b) {
         FrameHeader f = b.image.Frame(b.second);
         f.id = 0x12345678;
         b.image.SetFrame(b.second, f);
       }},
      {"index past the end", [](ThreeMessages& b) { b.image.index[1].offset = 0x7FFFFFF0; }},
      {"index inside the base header", [](ThreeMessages& b) { b.image.index[1].offset = 20; }},
      {"index in the middle of a frame", [](ThreeMessages& b) { b.image.index[1].offset += 7; }},
      {"message longer than the file",
       [](ThreeMessages& b) {
         FrameHeader f = b.image.Frame(b.second);
         f.msgLength = f.frameLength = 0xFFFFFF00;
         b.image.SetFrame(b.second, f);
       }},
      {"message longer than its frame",
       [](ThreeMessages& b) {
         FrameHeader f = b.image.Frame(b.second);
         f.msgLength = f.frameLength + 100;
         b.image.SetFrame(b.second, f);
       }},
      {"message shorter than its header",
       [](ThreeMessages& b) {
         FrameHeader f = b.image.Frame(b.second);
         f.msgLength = 10;
         b.image.SetFrame(b.second, f);
       }},
      {"control information beyond the message",
       [](ThreeMessages& b) {
         FrameHeader f = b.image.Frame(b.second);
         f.ctrlLength = 0xFFFFFFF0;
         b.image.SetFrame(b.second, f);
       }},
      {"freed by another program",
       [](ThreeMessages& b) {
         FrameHeader f = b.image.Frame(b.second);
         f.type = kFrameFree;
         b.image.SetFrame(b.second, f);
       }},
  };
  for (const ReadDamage& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedTempDir dir;
    ThreeMessages b;
    c.damage(b);
    b.image.Save(dir / "AREA");
    SquishBase base;
    base.SetAreaPath(dir / "AREA");
    ASSERT_EQ(base.Open(), 0);
    EXPECT_EQ(ScanTexts(base), (std::vector<std::string>{"one", "", "three"}));
    base.SeekFrom(2);
    base.LoadHeader();
    EXPECT_EQ(base.Status(), kDamaged);
    EXPECT_EQ(base.ToName(), "");
    EXPECT_EQ(base.DateText(), "");
    base.StartReading();
    EXPECT_EQ(base.NextLine(255), "");
    EXPECT_TRUE(base.TextEnded());
  }
}

enum class Outcome {
  kRefused,        // the message chain is not the index: writing and deleting refuse and change
                   // nothing
  kAppendedAtEnd,  // the free chain is given up: the new frame goes after everything, and a
                   // deleted message's frame starts a new free chain
};

struct WriteDamage {
  const char* name;
  std::function<void(ThreeMessages&)> damage;
  Outcome outcome;
};

TEST(SquishDamage, WritingRefusesOrStaysClearOfDamage) {
  const WriteDamage cases[] = {
      {"last frame being updated",
       [](ThreeMessages& b) {
         FrameHeader f = b.image.Frame(b.third);
         f.type = 3;
         b.image.SetFrame(b.third, f);
       },
       Outcome::kRefused},
      {"last frame links onwards",
       [](ThreeMessages& b) {
         FrameHeader f = b.image.Frame(b.third);
         f.next = b.first;
         b.image.SetFrame(b.third, f);
       },
       Outcome::kRefused},
      {"last frame past the end", [](ThreeMessages& b) { b.image.header.lastFrame = 0x7FFFFF00; },
       Outcome::kRefused},
      {"first frame lost", [](ThreeMessages& b) { b.image.header.firstFrame = 0; },
       Outcome::kRefused},
      {"neighbour does not point back",
       [](ThreeMessages& b) {
         FrameHeader f = b.image.Frame(b.second);
         f.prev = b.third;
         b.image.SetFrame(b.second, f);
       },
       Outcome::kRefused},
      {"middle message overlaps the last",
       [](ThreeMessages& b) {
         FrameHeader f = b.image.Frame(b.second);
         f.frameLength += 100;
         b.image.SetFrame(b.second, f);
       },
       Outcome::kRefused},
      {"free chain loops",
       [](ThreeMessages& b) {
         FrameHeader f = b.image.Frame(b.free2);
         f.next = b.free1;
         b.image.SetFrame(b.free2, f);
       },
       Outcome::kAppendedAtEnd},
      {"free chain loops onto itself",
       [](ThreeMessages& b) {
         FrameHeader f = b.image.Frame(b.free1);
         f.next = b.free1;
         b.image.SetFrame(b.free1, f);
       },
       Outcome::kAppendedAtEnd},
      {"free chain runs past the end",
       [](ThreeMessages& b) {
         FrameHeader f = b.image.Frame(b.free1);
         f.next = 0x7FFFFF00;
         b.image.SetFrame(b.free1, f);
       },
       Outcome::kAppendedAtEnd},
      {"free frame is a message", [](ThreeMessages& b) { b.image.header.firstFree = b.second; },
       Outcome::kAppendedAtEnd},
      {"free frame longer than the file",
       [](ThreeMessages& b) {
         FrameHeader f = b.image.Frame(b.free1);
         f.frameLength = 0x7FFFFF00;
         b.image.SetFrame(b.free1, f);
         b.image.sqd().resize(b.image.sqd().size() - 200);  // the best fit, free2, is cut short
       },
       Outcome::kAppendedAtEnd},
      {"free frame overlaps a message",
       [](ThreeMessages& b) {
         // A well-linked free frame at the end of the free chain, inside the frame of "three".
         uint32_t inside = b.third + 40;
         FrameHeader f = b.image.Frame(b.free1);
         f.prev = b.free2;
         f.next = 0;
         f.frameLength = 100;
         b.image.SetFrame(inside, f);
         f = b.image.Frame(b.free2);
         f.next = inside;
         b.image.SetFrame(b.free2, f);
         b.image.header.lastFree = inside;
       },
       Outcome::kAppendedAtEnd},
      {"free chain tail not free", [](ThreeMessages& b) { b.image.header.lastFree = b.third; },
       Outcome::kAppendedAtEnd},
  };
  for (const WriteDamage& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedTempDir dir;
    ThreeMessages b;
    c.damage(b);
    b.image.Save(dir / "AREA");
    std::string sqd = ReadBytes((dir / "AREA") + ".SQD");
    std::string sqi = ReadBytes((dir / "AREA") + ".SQI");
    SquishBase base;
    base.SetAreaPath(dir / "AREA");
    ASSERT_EQ(base.Open(), 0);

    // A message small enough for either free frame.
    uint16_t rc = WriteSimpleMessage(base, "New", "new text");
    if (c.outcome == Outcome::kRefused) {
      EXPECT_EQ(rc, kDamaged);
      base.SeekFrom(1);
      base.LoadHeader();
      base.DeleteMessage();
      EXPECT_EQ(base.Status(), kDamaged);
      base.SetReceived(true);
      base.RewriteHeader();
      EXPECT_EQ(base.Status(), kDamaged);
      EXPECT_EQ(ReadBytes((dir / "AREA") + ".SQD"), sqd);
      EXPECT_EQ(ReadBytes((dir / "AREA") + ".SQI"), sqi);
      continue;
    }
    EXPECT_EQ(rc, 0);
    std::string after = ReadBytes((dir / "AREA") + ".SQD");
    // Everything that was there is still there, byte for byte, apart from the base header
    // and the link to the new frame in the old last frame.
    EXPECT_GT(after.size(), sqd.size());
    EXPECT_EQ(after.compare(b.third + 28, sqd.size() - b.third - 28, sqd, b.third + 28), 0);
    EXPECT_EQ(after.compare(256, b.third - 256, sqd, 256, b.third - 256), 0);
    EXPECT_EQ(ScanTexts(base), (std::vector<std::string>{"one", "two", "three", "new text"}));
    base.SeekFrom(4);
    EXPECT_EQ(ReadAllText(base), "new text");

    base.SeekFrom(1);
    base.DeleteMessage();
    EXPECT_EQ(base.Status(), 0);
    ChainReport chains = CheckChains(dir / "AREA");
    EXPECT_EQ(chains.problem, "");
    EXPECT_EQ(chains.freeFrames, std::vector<uint32_t>{b.first});
    base.Close();
  }
}

// Found by fuzzing: with the index leading where the chain does not, trimming after a write
// could free the frame just written (the index named it too), so the message reported as
// written was lost. Such a base refuses every write before anything is written.
TEST(SquishDamage, WritesIntoAChainThatIsNotTheIndexAreRefused) {
  struct Case {
    const char* name;
    std::function<void(ThreeMessages&)> damage;
  };
  const Case cases[] = {
      {"the chain holds nothing",
       [](ThreeMessages& b) { b.image.header.firstFrame = b.image.header.lastFrame = 0; }},
      {"an index record leads to where the next frame goes",
       [](ThreeMessages& b) {
         b.image.index[1].offset = static_cast<uint32_t>(b.image.sqd().size());
       }},
      {"an index record leads into a free frame",
       [](ThreeMessages& b) { b.image.index[1].offset = b.free1; }},
      {"the index repeats a message",
       [](ThreeMessages& b) { b.image.index[2] = b.image.index[0]; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedTempDir dir;
    ThreeMessages b;
    b.image.header.maxMsg = 3;  // each write trims the message after the protected first one
    b.image.header.skipMsg = 1;
    c.damage(b);
    b.image.Save(dir / "AREA");
    std::string sqd = ReadBytes((dir / "AREA") + ".SQD");
    std::string sqi = ReadBytes((dir / "AREA") + ".SQI");
    SquishBase base;
    base.SetAreaPath(dir / "AREA");
    ASSERT_EQ(base.Open(), 0);
    EXPECT_EQ(WriteSimpleMessage(base, "New", "new text"), kDamaged);
    EXPECT_EQ(base.Status(), kDamaged);
    EXPECT_EQ(ReadBytes((dir / "AREA") + ".SQD"), sqd);
    EXPECT_EQ(ReadBytes((dir / "AREA") + ".SQI"), sqi);
  }
}

// A process killed after linking a freed frame to the end of the free chain, before the base
// header followed: the chain runs one frame beyond the header's tail, and is taken as it is.
TEST(SquishDamage, AFreeChainOneFrameBeyondItsHeaderIsFollowed) {
  ScopedTempDir dir;
  ThreeMessages b;
  b.image.header.lastFree = b.free1;
  b.image.Save(dir / "AREA");
  size_t size = fs::file_size((dir / "AREA") + ".SQD");
  SquishBase base;
  base.SetAreaPath(dir / "AREA");
  ASSERT_EQ(base.Open(), 0);
  ASSERT_EQ(WriteSimpleMessage(base, "New", "new text"), 0);
  EXPECT_EQ(fs::file_size((dir / "AREA") + ".SQD"), size);  // free1 was reused
  ChainReport chains = CheckChains(dir / "AREA");
  EXPECT_EQ(chains.problem, "");
  EXPECT_EQ(chains.freeFrames, std::vector<uint32_t>{b.free2});
}

TEST(SquishDamage, TornIndexAndForgottenNumbersAreSurvived) {
  ScopedTempDir dir;
  ThreeMessages b;
  b.image.header.uid = 2;      // the header forgot that 3 was given out
  b.image.header.numMsg = 40;  // and miscounts
  b.image.Save(dir / "AREA");
  std::string sqi = ReadBytes((dir / "AREA") + ".SQI");
  WriteBytes((dir / "AREA") + ".SQI", sqi + "\x01\x02\x03\x04\x05");
  SquishBase base;
  base.SetAreaPath(dir / "AREA");
  ASSERT_EQ(base.Open(), 0);
  EXPECT_EQ(ScanTexts(base), (std::vector<std::string>{"one", "two", "three"}));
  ASSERT_EQ(WriteSimpleMessage(base, "New", "four"), 0);
  EXPECT_EQ(base.MessageNumber(), 4);
  base.Close();
  EXPECT_EQ(fs::file_size((dir / "AREA") + ".SQI"), 4u * 12u);
  ChainReport chains = CheckChains(dir / "AREA");
  EXPECT_EQ(chains.problem, "");
  EXPECT_EQ(chains.messages.size(), 4u);
}

// Found by fuzzing: a header whose next unique number is beyond the signed 32-bit range made
// the new message unreachable (Found is false for it) although writing reported success.
TEST(SquishDamage, UniqueNumbersBeyondTheSignedRangeAreRefused) {
  for (uint32_t uid : {0x80000000u, 3351758592u, 0xFFFFFFFFu}) {
    ScopedTempDir dir;
    SquishImage image;
    image.header.uid = uid;
    image.Save(dir / "AREA");
    std::string sqd = ReadBytes((dir / "AREA") + ".SQD");
    SquishBase base;
    base.SetAreaPath(dir / "AREA");
    ASSERT_EQ(base.Open(), 0);
    EXPECT_EQ(WriteSimpleMessage(base, "X", "text"), kDamaged) << uid;
    EXPECT_EQ(ReadBytes((dir / "AREA") + ".SQD"), sqd);
  }
  ScopedTempDir dir;
  SquishImage image;
  image.header.uid = 0x7FFFFFFF;  // the last number that still works
  image.Save(dir / "AREA");
  SquishBase base;
  base.SetAreaPath(dir / "AREA");
  ASSERT_EQ(base.Open(), 0);
  EXPECT_EQ(WriteSimpleMessage(base, "X", "text"), 0);
  EXPECT_EQ(base.MessageNumber(), 0x7FFFFFFF);
  EXPECT_EQ(WriteSimpleMessage(base, "X", "more"), kDamaged);
}

TEST(SquishDamage, NewFramesGoAtTheRealEndOfTheFile) {
  // A header whose end lags behind the file (bytes there may be a lost frame) and one whose
  // end lies far beyond it (writing there would leave a hole of gigabytes).
  for (bool lagging : {true, false}) {
    SCOPED_TRACE(lagging ? "lagging" : "beyond");
    ScopedTempDir dir;
    ThreeMessages b;
    b.image.Save(dir / "AREA");
    std::string sqd = ReadBytes((dir / "AREA") + ".SQD");
    BaseHeader header = DecodeBaseHeader(reinterpret_cast<const uint8_t*>(sqd.data()));
    header.endFrame = lagging ? b.third : 0x40000000;
    sqd.replace(0, 256, AsString(EncodeBaseHeader(header)));
    WriteBytes((dir / "AREA") + ".SQD", sqd);
    SquishBase base;
    base.SetAreaPath(dir / "AREA");
    ASSERT_EQ(base.Open(), 0);
    ASSERT_EQ(WriteSimpleMessage(base, "New", std::string(2000, 'n')), 0);
    EXPECT_EQ(fs::file_size((dir / "AREA") + ".SQD"), sqd.size() + 28 + 238 + 2001);
    EXPECT_EQ(ScanTexts(base),
              (std::vector<std::string>{"one", "two", "three", std::string(2000, 'n')}));
    EXPECT_EQ(CheckChains(dir / "AREA").problem, "");
  }
}

}  // namespace
}  // namespace vm
