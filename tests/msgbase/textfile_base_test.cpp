// A plain text file read and written as a base of one message.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "msgbase/message_base.h"
#include "msgbase/textfile/text_file_base.h"
#include "support/platform_temp_dir.h"

namespace vm {
namespace {

using Strings = std::vector<std::string>;
using namespace std::string_literals;

class TextFile : public ::testing::Test {
 protected:
  std::string AreaId() const { return "T" + dir.path() + "/file.txt"; }
  MessageBase& OpenWith(const std::string& contents) {
    dir.WriteFile("file.txt", contents);
    EXPECT_TRUE(OpenMessageArea(AreaId(), base));
    return *base;
  }
  Strings ReadAll() {
    Strings lines;
    while (!base->TextEnded()) lines.push_back(base->NextLine(255));
    return lines;
  }

  ScopedTempDir dir;
  MessageBaseHandle base;
};

TEST_F(TextFile, LinesEndWithCrLfLfOrALoneCr) {
  OpenWith("dos\r\nunix\nown\r\r\nlast");
  EXPECT_EQ(ReadAll(), (Strings{"dos", "unix", "own", "", "last"}));
  OpenWith("one\r\n");
  EXPECT_EQ(ReadAll(), (Strings{"one"}));
}

TEST_F(TextFile, LongLinesComeInPiecesWithoutLosingBytes) {
  std::string longLine(600, 'a');
  longLine[255] = 'b';
  longLine[510] = 'c';
  OpenWith(longLine + "\r\n" + std::string(255, 'x') + "\r\nnext\n");
  EXPECT_EQ(base->NextLine(255), std::string(255, 'a'));
  EXPECT_TRUE(base->LineWasWrapped());
  EXPECT_EQ(base->NextLine(255), "b" + std::string(254, 'a'));
  EXPECT_EQ(base->NextLine(255), "c" + std::string(89, 'a'));
  EXPECT_FALSE(base->LineWasWrapped());
  // A line of exactly 255 bytes is whole: its line end does not make an extra line.
  EXPECT_EQ(base->NextLine(255), std::string(255, 'x'));
  EXPECT_FALSE(base->LineWasWrapped());
  EXPECT_EQ(ReadAll(), (Strings{"next"}));
  // A smaller maximum cuts the same way.
  OpenWith("abcdefg\n");
  EXPECT_EQ(base->NextLine(3), "abc");
  EXPECT_EQ(base->NextLine(3), "def");
  EXPECT_EQ(base->NextLine(3), "g");
  EXPECT_TRUE(base->TextEnded());
}

TEST_F(TextFile, LineEndSplitAcrossTheReadBufferIsOneLineEnd) {
  // The reader's buffer holds 64 KiB: put CR as its last byte and LF as the next one.
  std::string contents(65535, 'u');
  for (size_t i = 100; i < contents.size(); i += 100) contents[i] = '\n';
  contents += "\r\nafter\r";
  OpenWith(contents);
  Strings lines = ReadAll();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines.back(), "after");
  EXPECT_NE(lines[lines.size() - 2], "");
  EXPECT_EQ(base->TextPosition(), static_cast<int32_t>(contents.size()));
}

// The line rules written out byte by byte over the whole contents, as a reference for the
// buffered reader.
struct ReferenceLines {
  std::string text;
  size_t pos = 0;
  bool wrapped = false;

  bool Ended() const { return pos >= text.size(); }
  bool AtLineEnd() const { return pos < text.size() && (text[pos] == '\r' || text[pos] == '\n'); }
  std::string Next(size_t limit) {
    wrapped = false;
    std::string line;
    while (!Ended() && !AtLineEnd() && line.size() < limit) line += text[pos++];
    if (AtLineEnd())
      pos += text.compare(pos, 2, "\r\n") == 0 ? 2 : 1;
    else if (!Ended())
      wrapped = true;
    return line;
  }
};

TEST_F(TextFile, AgreesWithTheByteByByteRulesAcrossManyBufferFills) {
  std::mt19937 rng(7);
  const char* const ends[] = {"\r\n", "\n", "\r"};
  for (int round = 0; round < 6; ++round) {
    // About 300 KB: lines of any length up to a few over the maximum, with all three line
    // ends, so that lines and CR LF pairs fall across the 64 KiB buffer's edges.
    std::string contents;
    while (contents.size() < 300000) {
      const size_t length = rng() % 8 == 0 ? rng() % 700 : rng() % 90;
      for (size_t i = 0; i < length; ++i)
        contents += static_cast<char>(rng() % 5 ? 'a' + rng() % 26 : ' ');
      contents += ends[rng() % 3];
    }
    if (round % 2) contents.pop_back();  // a last line without its end
    OpenWith(contents);
    ReferenceLines reference{contents};
    while (!reference.Ended()) {
      const uint16_t max = rng() % 4 ? 255 : static_cast<uint16_t>(rng() % 300);
      const std::string expected = reference.Next(std::clamp<size_t>(max, 1, 255));
      // Both forms of the reader, mixed: they share the reading state.
      const std::string got =
          rng() % 2 ? base->NextLine(max) : std::string(base->NextLineView(max));
      ASSERT_EQ(got, expected) << round << " at " << reference.pos;
      ASSERT_EQ(base->LineWasWrapped(), reference.wrapped) << round << " at " << reference.pos;
      ASSERT_EQ(base->TextPosition(), static_cast<int32_t>(reference.pos)) << round;
    }
    EXPECT_TRUE(base->TextEnded());
  }
}

TEST_F(TextFile, PositionsAreByteOffsetsAndCanBeRevisited) {
  std::string contents;
  for (int i = 0; i < 20000; ++i) contents += "line " + std::to_string(i) + "\r\n";
  OpenWith(contents);
  EXPECT_EQ(base->ActiveCount(), static_cast<int32_t>(contents.size()));
  for (int i = 0; i < 15000; ++i) base->NextLine(255);
  int32_t remembered = base->TextPosition();
  EXPECT_EQ(static_cast<size_t>(remembered), contents.find("line 15000\r\n"));
  EXPECT_EQ(base->Location(), remembered);
  base->SetTextPosition(0);
  EXPECT_EQ(base->NextLine(255), "line 0");
  base->SetTextPosition(remembered);
  EXPECT_EQ(base->NextLine(255), "line 15000");
  base->SetTextPosition(remembered + 5);
  EXPECT_EQ(base->NextLine(255), "15000");
}

// Jumps anywhere in a file of many buffer fills, and reads on from there through a few more,
// see the bytes at the position asked for.
TEST_F(TextFile, JumpsAcrossBufferFillsReadTheRightLines) {
  std::string contents;
  std::vector<size_t> starts;
  for (int i = 0; i < 60000; ++i) {
    starts.push_back(contents.size());
    contents += "line " + std::to_string(i) + "\r\n";
  }
  OpenWith(contents);
  std::mt19937 rng(5);
  for (int jump = 0; jump < 300; ++jump) {
    const size_t line = rng() % starts.size();
    base->SetTextPosition(static_cast<int32_t>(starts[line]));
    const size_t count = rng() % 4 == 0 ? 3000 : 3;  // now and then on through a few chunks
    for (size_t k = line; k < std::min(line + count, starts.size()); ++k)
      ASSERT_EQ(base->NextLine(255), "line " + std::to_string(k)) << "jump " << jump;
  }
}

TEST_F(TextFile, IsOneMessageWithoutHeaderFields) {
  OpenWith("text\n");
  base->SeekFrom(1);
  EXPECT_TRUE(base->Found());
  base->LoadHeader();
  base->StartReading();
  EXPECT_EQ(base->MessageNumber(), 1);
  EXPECT_EQ(base->HighActiveNumber(), 1);
  EXPECT_EQ(base->FromName(), "");
  EXPECT_EQ(base->Subject(), "");
  EXPECT_TRUE(base->IsLocal());
  EXPECT_FALSE(base->IsSent());
  EXPECT_FALSE(base->IsDeleted());
  EXPECT_EQ(ReadAll(), (Strings{"text"}));
  EXPECT_FALSE(base->Found());

  OpenWith("");
  EXPECT_FALSE(base->Found());
  EXPECT_TRUE(base->TextEnded());
  EXPECT_EQ(base->NextLine(255), "");
  EXPECT_EQ(base->NextChar(), 0);
}

TEST_F(TextFile, MissingFileDoesNotOpen) {
  EXPECT_FALSE(OpenMessageArea(AreaId(), base));
  EXPECT_EQ(base, nullptr);
  TextFileBase file;
  file.SetAreaPath(dir.path() + "/file.txt");
  EXPECT_EQ(file.Open(), TextFileBase::kOpenFailed);
}

TEST_F(TextFile, WrittenLinesEndWithACarriageReturnAndAreAppended) {
  ASSERT_TRUE(OpenOrCreateMessageArea(AreaId(), base));
  for (const char* body : {"first", "second"}) {
    base->StartNewMessage();
    base->SetSubject("ignored");
    base->PutLine(body);
    base->PutKludge("\x01PID: x");
    EXPECT_EQ(base->WriteMessage(), 0);
  }
  EXPECT_TRUE(CloseMessageArea(base));
  EXPECT_EQ(dir.ReadFile("file.txt"), "first\r\x01PID: x\rsecond\r\x01PID: x\r");

  // An existing file is kept and written to at its end.
  ASSERT_TRUE(OpenOrCreateMessageArea(AreaId(), base));
  base->StartNewMessage();
  base->PutText("third");
  base->PutChar('\r');
  EXPECT_EQ(base->WriteMessage(), 0);
  EXPECT_EQ(ReadAll(), (Strings{"first", "\x01PID: x", "second", "\x01PID: x"}));
  EXPECT_TRUE(CloseMessageArea(base));
  EXPECT_EQ(dir.ReadFile("file.txt"), "first\r\x01PID: x\rsecond\r\x01PID: x\rthird\r");
}

TEST_F(TextFile, WritingWithoutAnOpenFileReportsFailure) {
  OpenWith("x");
  base->PutLine("lost");
  EXPECT_EQ(base->WriteMessage(), TextFileBase::kNotOpenForWriting);
}

}  // namespace
}  // namespace vm
