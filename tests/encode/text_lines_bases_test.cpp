// Plain-text postings through the queue into every kind of base, read back by that base's own
// reader and decoded: lines longer than a message line, lines of tabs and files with Linux
// line ends must come back without a line break added or lost.
#include <gtest/gtest.h>

#include "encode/queue_runner.h"
#include "encode/send_queue.h"
#include "posting_fixture.h"

namespace vm {
namespace {

struct BaseUnderTest {
  const char* name;
  std::string location;  // the area id after its letter, below the test's directory
  char letter;
};

// The text as the decoder gives it back: CR LF line ends, a tab as eight blanks.
std::string AsDecoded(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\r\n";
    } else {
      out += text[i] == '\t' ? std::string(8, ' ') : std::string(1, text[i]);
    }
  }
  return out;
}

// Words and blanks, so that a reader that wraps a line too long for it has blanks to wrap at.
std::string Words(size_t length) {
  std::string line;
  for (int i = 0; line.size() < length; ++i) line += "word" + std::to_string(i) + " ";
  return line.substr(0, length);
}

TEST(PlainTextThroughEveryBase, LongLinesTabsAndLinuxLineEndsComeBackExactly) {
  const std::string crLf = "short line\r\n" + Words(600) + "\r\n" + std::string(150, '\t') +
                           "\r\n" + Words(252) + "\r\n" + Words(253) + "\r\n" + Words(254) +
                           "\r\n" + Words(255) + "\r\nlast\r\n";
  std::string linuxText = crLf;
  for (size_t at; (at = linuxText.find('\r')) != std::string::npos;) linuxText.erase(at, 1);
  const std::string& lf = linuxText;
  const BaseUnderTest bases[] = {{"MSG", "msg", 'F'},
                                 {"SQUISH", "squish/area", 'S'},
                                 {"JAM", "jam/area", 'J'},
                                 {"HUDSON", "hudson", 'H'},
                                 {"TEXT", "text.txt", 'T'}};
  for (const BaseUnderTest& kind : bases) {
    for (const std::string* text : {&crLf, &lf}) {
      SCOPED_TRACE(std::string(kind.name) + (text == &lf ? " LF" : " CR LF"));
      ScopedTempDir dir;
      dir.WriteFile("veldmark.tpl", "Hello!\r\n@SECTION\r\n");
      dir.WriteFile("NOTES.TXT", *text);
      dir.MakeDirectory("squish");
      dir.MakeDirectory("jam");
      dir.MakeDirectory("hudson");
      const std::string areaId =
          std::string(1, kind.letter) + (kind.letter == 'H' ? "001" : "") + (dir / kind.location);
      Settings settings;
      settings.address = NetAddress{2, 5020, 100, 0};
      AreaTable areas;
      AreaEntry area;
      area.tag = "RU.TEXT";
      area.areaId = areaId;
      area.SectionsPerDay = area.SectionsLeftToday = kUnlimited;
      areas.Append(area);
      RunState state;
      FakeConsole console;
      EnqueueRequest request;
      request.path = dir / "NOTES.TXT";
      request.areaId = areaId;
      request.templatePath = dir / "veldmark.tpl";
      request.fromName = "Sysop";
      request.toName = "All";
      request.flags = kSendImmediately;  // plain text
      request.linesPerSection = 7;
      ASSERT_EQ(EnqueueFile(state.queue, request, QueueContext{settings, console, {}}), 1);
      ProgramPaths paths;
      paths.ProgramDir = paths.TempDir = dir.path() + "/";
      QueueRun run{state, areas, settings, paths, console, CalendarDate{2026, 3, 5}, {}};
      ProcessQueue(run);
      ASSERT_TRUE(state.queue.empty()) << console.output;

      MessageBaseHandle base;
      ASSERT_TRUE(OpenMessageArea(areaId, base));
      uint8_t result = 0xFF;
      dir.MakeDirectory("out");
      const std::string decoded = test::DecodeArea(*base, dir / "out", result);
      CloseMessageArea(base);
      EXPECT_EQ(result, 0);
      EXPECT_TRUE(decoded == AsDecoded(*text))
          << decoded.size() << " bytes decoded, " << AsDecoded(*text).size() << " posted";
    }
  }
}

}  // namespace
}  // namespace vm
