#include "encode/macros.h"

#include <gtest/gtest.h>

#include "encode/random_line.h"
#include "support/platform_temp_dir.h"
#include "text/cp866.h"

namespace vm {
namespace {

MacroValues Values() {
  MacroValues values;
  values.toName = "All";
  values.origAddress = "2:5020/100";
  values.name = "A.ZIP";
  values.length = "12345";
  values.linesPerSection = "120";
  values.dateTime = MacroDateTime(11, 2, 1999, 1, 15, 46);
  values.number = 3;
  values.total = 10;
  values.randomLine = [](std::string_view name) { return "<" + std::string(name) + ">"; };
  return values;
}

TEST(ExpandMacros, NamesDelimitersAndParameters) {
  const struct {
    std::string line;
    std::string expected;
  } cases[] = {
      {"Hello, %TONAME%!", "Hello, All!"},
      {"%name% and %NAME", "A.ZIP and A.ZIP"},
      {"%NAME then", "A.ZIPthen"},  // the blank that ends the name goes with it
      {"%CURRENT%/%TOTAL% of %LENGTH% bytes, %LINESPERSEC% lines",
       "3/10 of 12345 bytes, 120 lines"},
      {"from %ORIGADDR%, %VERSION%", "from 2:5020/100, Veldmark v1.61.40"},
      {"[%SUBJ%]", "[]"},
      {"100%", "100"},
      {"a%bc,d", "ad"},
      {"%FOO% x", " x"},
      {"%SBAR%10,#,.,|", "[###.......]|"},
      {"%SBAR%266,#,.,", "[###.......]"},  // the width is taken modulo 256
      {"%SBAR%10", "[          ]"},        // parameters cut off by the line's end
      {"tag: %RANDOM tags.txt end", "tag: <TAGS.TXT>end"},
      {"%DATETIME%", Cp866("11-02-99 в 01:15:46")},
  };
  for (const auto& c : cases) {
    std::string line = c.line;
    ExpandMacros(line, Values());
    EXPECT_EQ(line, c.expected) << c.line;
  }
}

TEST(ExpandMacros, ValuesThatHoldMacrosAndLongLines) {
  MacroValues values = Values();
  values.subject = "%NAME% (%SUBJ%)";  // names itself: expanded, but not for ever
  std::string line = "%SUBJ%";
  ExpandMacros(line, values);
  EXPECT_EQ(line.rfind("A.ZIP (A.ZIP (", 0), 0u) << line;
  EXPECT_LE(line.size(), 255u);

  line = std::string(250, 'x') + "%NAME%%NAME%";
  ExpandMacros(line, Values());
  EXPECT_EQ(line, std::string(250, 'x') + "A.ZIP");
}

TEST(RandomLine, ChoosesByTheDrawAndRefusesWhatIsNoText) {
  ScopedTempDir dir;
  dir.WriteFile("tags.txt", "first tagline\r\nsecond tagline\r\nhi\r\nfourth tagline\r\n");
  dir.WriteFile("unix.txt", "first tagline\nsecond tagline\nthird tagline\n");
  dir.WriteFile("short.txt", "only a few bytes\r\n");
  const char program[] = "MZ\0\0\x01\x02 a binary program with zero bytes";
  dir.WriteFile("binary.bin", std::string(program, sizeof program));
  dir.WriteFile("control.txt", "one line with a \x01kludge and a \x0c feed, long enough");
  const struct {
    std::string file;
    int draw;
    std::string expected;
  } cases[] = {
      {"tags.txt", 0, "first tagline"},
      {"tags.txt", 1, "first tagline"},
      {"tags.txt", 2, "second tagline"},
      {"tags.txt", 3, "second tagline"},  // "hi" is too short: the line before it
      {"unix.txt", 2, "second tagline"},
      {"short.txt", 0, ""},
      {"binary.bin", 0, ""},
      {"missing.txt", 0, ""},
      {"control.txt", 0, "one line with a  kludge and a   feed, long enough"},
  };
  for (const auto& c : cases) {
    int drawnFrom = -1;
    const std::string line = RandomLine(dir / c.file, [&](int n) {
      drawnFrom = n;
      return c.draw;
    });
    EXPECT_EQ(line, c.expected) << c.file << " " << c.draw << " of " << drawnFrom;
  }
}

}  // namespace
}  // namespace vm
