// The factory and the word-wrapping line reader that the variants share.
#include "msgbase/message_base.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "msgbase/fido/fido_msg_base.h"
#include "support/platform_temp_dir.h"

namespace vm {
namespace {

// The shared reader over a text window filled directly, without any file behind it.
class WindowBase : public FidoMsgBase {
 public:
  void Load(std::string text) {
    SetTextWindow(std::move(text), 190);
    wrapped_ = false;
  }
};

struct Read {
  std::string line;
  bool wrapped;
};

std::vector<Read> AllLines(MessageBase& base, uint16_t max) {
  std::vector<Read> lines;
  while (!base.TextEnded()) {
    std::string line = base.NextLine(max);
    lines.push_back({line, base.LineWasWrapped()});
  }
  return lines;
}

std::vector<std::string> Texts(const std::vector<Read>& lines) {
  std::vector<std::string> texts;
  for (const Read& r : lines) texts.push_back(r.line);
  return texts;
}

using Lines = std::vector<std::string>;
using namespace std::string_literals;

TEST(NextLine, WordLongerThanTheLineIsCutAtExactlyMaxAndContinues) {
  WindowBase base;
  base.Load("abcdefghij\r");
  std::vector<Read> lines = AllLines(base, 4);
  EXPECT_EQ(Texts(lines), (Lines{"abcd", "efgh", "ij", ""}));
  EXPECT_TRUE(lines[0].wrapped);
  EXPECT_TRUE(lines[1].wrapped);
  EXPECT_FALSE(lines[2].wrapped);
}

TEST(NextLine, WrapsAfterTheLastSpaceAndTheNextLineStartsWithTheWord) {
  WindowBase base;
  base.Load("hello world again\r");
  EXPECT_EQ(Texts(AllLines(base, 8)), (Lines{"hello ", "world ", "again", ""}));
}

TEST(NextLine, SpaceRightAfterACutIsDroppedOnce) {
  WindowBase base;
  base.Load("abcd efg\r");
  EXPECT_EQ(Texts(AllLines(base, 4)), (Lines{"abcd", "efg", ""}));
  // After a line that ended at a carriage return a leading space stays.
  base.Load("ab\r cd\r");
  EXPECT_EQ(Texts(AllLines(base, 4)), (Lines{"ab", " cd", ""}));
}

TEST(NextLine, LineFeedsSoftReturnsAndZeroBytesAreNeverReturned) {
  WindowBase base;
  base.Load(
      "a\nb\x8D"
      "c\0d\r\ne\r\n"s);
  EXPECT_EQ(Texts(AllLines(base, 255)), (Lines{"abcd", "e", ""}));
  // Ignored bytes do not count towards the maximum length. A line of exactly the maximum
  // length counts as wrapped: its carriage return then ends an empty line of its own.
  base.Load("\n\n\nabcd\r");
  EXPECT_EQ(Texts(AllLines(base, 4)), (Lines{"abcd", "", ""}));
}

TEST(NextLine, CarriageReturnsEndLinesAndAreNotReturned) {
  WindowBase base;
  base.Load("one\r\rthree");
  EXPECT_EQ(Texts(AllLines(base, 80)), (Lines{"one", "", "three"}));
}

TEST(NextLine, EndedTextGivesEmptyLines) {
  WindowBase base;
  base.Load("");
  EXPECT_FALSE(base.TextEnded());
  EXPECT_EQ(base.NextLine(80), "");
  EXPECT_TRUE(base.TextEnded());
  EXPECT_EQ(base.NextChar(), 0);
  EXPECT_EQ(base.NextLine(80), "");
}

TEST(NextLine, MaximumIsAtMost255AndFidoTextsCutAt254) {
  WindowBase base;
  base.Load(std::string(300, 'x'));
  EXPECT_EQ(base.NextLine(1000).size(), 254u);
  EXPECT_EQ(base.NextLine(1000).size(), 46u);
}

TEST(NextLine, ZeroMaximumStillMovesOn) {
  WindowBase base;
  base.Load("ab");
  EXPECT_EQ(base.NextLine(0), "a");
  EXPECT_EQ(base.NextLine(0), "b");
  EXPECT_TRUE(base.TextEnded());
}

TEST(NextLine, RememberedPositionResumesTheSameLines) {
  WindowBase base;
  base.Load("first line\rsecond line that is long\rthird\r");
  EXPECT_EQ(base.TextPosition(), 190);
  base.NextLine(80);
  int32_t second = base.TextPosition();
  EXPECT_EQ(second, 190 + 11);
  Lines rest = Texts(AllLines(base, 12));
  base.Load("first line\rsecond line that is long\rthird\r");
  base.SetTextPosition(second);
  EXPECT_EQ(Texts(AllLines(base, 12)), rest);
  EXPECT_EQ(rest, (Lines{"second line ", "that is ", "long", "third", ""}));
}

// The reader's steps written out one by one over NextChar, as a reference for the fast one.
std::string ReferenceNextLine(MessageBase& base, size_t max, bool& wrapped) {
  if (base.TextEnded()) return "";
  std::string line;
  bool hardEnd = false;
  size_t wrapLength = 0;
  int32_t wrapPosition = base.TextPosition();
  bool previousWrapped = wrapped;
  wrapped = true;
  int32_t positionBefore = base.TextPosition();
  unsigned char c = base.NextChar();
  while (!hardEnd && line.size() < max && !base.TextEnded()) {
    if (c == 13) {
      hardEnd = true;
      wrapped = false;
    } else if (c == 32) {
      if (line.empty() && previousWrapped) {
        previousWrapped = false;
      } else {
        line += ' ';
        wrapLength = line.size();
        wrapPosition = base.TextPosition();
      }
    } else if (c != 0 && c != 10 && c != 0x8D) {
      line += static_cast<char>(c);
    }
    if (!hardEnd) {
      positionBefore = base.TextPosition();
      c = base.NextChar();
    }
  }
  if (hardEnd || base.TextEnded()) return line;
  if (wrapLength == 0) {
    base.SetTextPosition(positionBefore);
    return line;
  }
  base.SetTextPosition(wrapPosition);
  return line.substr(0, wrapLength);
}

TEST(NextLine, AgreesWithTheStepByStepReaderOnRandomTexts) {
  std::mt19937 rng(42);
  const char special[] = {' ', ' ', ' ', '\r', '\n', '\x8D', '\0', '!', '\xA0'};
  for (int round = 0; round < 4000; ++round) {
    // Short texts thick with special bytes, and long ones with words and long runs.
    bool dense = round % 2 == 0;
    std::string text;
    size_t length = rng() % (dense ? 60 : 700);
    for (size_t i = 0; i < length; ++i)
      text += rng() % (dense ? 2 : 12) == 0 ? special[rng() % sizeof special] : 'a' + rng() % 3;
    size_t max = dense ? rng() % 12 : rng() % 300;
    WindowBase fast, reference;
    fast.Load(text);
    reference.Load(text);
    bool wrapped = false;
    for (int line = 0; line < 2000 && !reference.TextEnded(); ++line) {
      // WindowBase reads like a Fido message: at most 254 bytes a line.
      std::string expected = ReferenceNextLine(reference, std::clamp<size_t>(max, 1, 254), wrapped);
      // Both forms of the reader, mixed within a text: they share the reading state.
      const std::string got = rng() % 2
                                  ? fast.NextLine(static_cast<uint16_t>(max))
                                  : std::string(fast.NextLineView(static_cast<uint16_t>(max)));
      ASSERT_EQ(got, expected) << round;
      ASSERT_EQ(fast.LineWasWrapped(), wrapped) << round;
      ASSERT_EQ(fast.TextPosition(), reference.TextPosition()) << round;
      ASSERT_EQ(fast.TextEnded(), reference.TextEnded()) << round;
    }
  }
}

TEST(NextPlainLine, SkipsKludgesAndReturnsTheLastKludgeWhenTheTextEndsOnOne) {
  WindowBase base;
  base.Load("\x01MSGID: 2:5020/1 1234\rtext\r\x01PATH: 5020/1\r\x01Via x");
  EXPECT_EQ(base.NextPlainLine(80), "text");
  EXPECT_EQ(base.NextPlainLine(80), "\x01Via x");
  EXPECT_TRUE(base.TextEnded());
  // Ended by a carriage return, the text gives one more, empty, line.
  base.Load("\x01PID: x\r\x01TID: y\r");
  EXPECT_EQ(base.NextPlainLine(80), "");
  EXPECT_TRUE(base.TextEnded());
}

// --- Factory ------------------------------------------------------------------------------

TEST(Factory, LetterIsTakenWithoutRegardToCase) {
  ScopedTempDir dir;
  MessageBaseHandle base;
  ASSERT_TRUE(OpenMessageArea("f" + dir.path(), base));
  EXPECT_NE(dynamic_cast<FidoMsgBase*>(base.get()), nullptr);
  EXPECT_TRUE(CloseMessageArea(base));
  EXPECT_EQ(base, nullptr);
}

TEST(Factory, UnknownLettersAndEmptyIdsMakeNothing) {
  ScopedTempDir dir;
  MessageBaseHandle base;
  for (std::string letter : {"E", "e", "X", "1", ""}) {
    base = std::make_unique<WindowBase>();
    EXPECT_FALSE(MakeMessageBase(letter + dir.path(), base)) << letter;
    EXPECT_EQ(base, nullptr);
    EXPECT_FALSE(OpenMessageArea(letter + dir.path(), base));
    EXPECT_FALSE(OpenOrCreateMessageArea(letter + dir.path(), base));
  }
  EXPECT_FALSE(CloseMessageArea(base));
}

TEST(Factory, OnlyTheFirst128CharactersAfterTheLetterReachTheVariant) {
  ScopedTempDir dir;
  std::string path = dir.path() + "/";
  path += std::string(128 - path.size(), 'd');
  dir.MakeDirectory(path.substr(dir.path().size() + 1));
  MessageBaseHandle base;
  EXPECT_TRUE(OpenMessageArea("F" + path + "/more/and/more", base));
  EXPECT_TRUE(OpenMessageArea("F" + path, base));
  EXPECT_FALSE(OpenMessageArea("F" + path.substr(0, 127), base));
}

TEST(Factory, OpenFailsOnAMissingAreaAndOpenOrCreateMakesIt) {
  ScopedTempDir dir;
  MessageBaseHandle base;
  EXPECT_FALSE(OpenMessageArea("F" + dir.path() + "/net/mail", base));
  EXPECT_EQ(base, nullptr);
  ASSERT_TRUE(OpenOrCreateMessageArea("F" + dir.path() + "/net/mail", base));
  EXPECT_TRUE(dir.Exists("net/mail"));
  EXPECT_EQ(base->HighActiveNumber(), 0);
  EXPECT_EQ(base->ActiveCount(), 0);
}

// A base file that is a FIFO or a device: the area cannot be opened, at once (a FIFO would
// hold the open for ever, /dev/zero never end).
TEST(Factory, OpenFailsWhenABaseFileIsNoRegularFile) {
  struct Case {
    std::string areaId;  // relative to the directory
    std::string file;    // the base file that is replaced
    bool fifo;           // else a link to /dev/zero
  };
  const Case cases[] = {
      {"Sbase", "base.SQI", true},     {"Sbase", "base.SQD", false},
      {"Jbase", "base.jhr", true},     {"Jbase", "base.jdx", false},
      {"Tarea.txt", "area.txt", true}, {"Tarea.txt", "area.txt", false},
      {"Fmsgs", "msgs", true},
  };
  for (const Case& c : cases) {
    ScopedTempDir dir;
    const std::string areaId = c.areaId.substr(0, 1) + dir.path() + "/" + c.areaId.substr(1);
    MessageBaseHandle base;
    ASSERT_TRUE(OpenOrCreateMessageArea(areaId, base)) << c.areaId;
    CloseMessageArea(base);
    const std::string file = dir / c.file;
    std::filesystem::remove_all(file);
    ASSERT_EQ(c.fifo ? mkfifo(file.c_str(), 0600) : symlink("/dev/zero", file.c_str()), 0);
    EXPECT_FALSE(OpenMessageArea(areaId, base)) << c.file;
    EXPECT_EQ(base, nullptr);
  }
}

TEST(HighActiveNumber, IsTheHighestExistingMessage) {
  ScopedTempDir dir;
  dir.WriteFile("a/2.msg", std::string(190, '\0'));
  dir.WriteFile("a/7.MSG", std::string(190, '\0'));
  MessageBaseHandle base;
  ASSERT_TRUE(OpenMessageArea("F" + dir.path() + "/a", base));
  EXPECT_EQ(base->HighActiveNumber(), 7);
  EXPECT_EQ(base->MessageNumber(), 7);
}

TEST(AreaIds, TheLocationFollowsTheLetterAndAHudsonBoard) {
  EXPECT_EQ(AreaLocation("Fareas\\rufiles"), "areas\\rufiles");
  EXPECT_EQ(AreaLocation("H007hudson"), "hudson");
  EXPECT_EQ(AreaLocation("SC:\\SQ\\AREA"), "C:\\SQ\\AREA");
  EXPECT_EQ(AreaLocation("H001"), "");
  EXPECT_EQ(AreaLocation(""), "");
}

}  // namespace
}  // namespace vm
