// The help window on the fake backend: the topic shown, picking cross-references with Tab and
// Shift+Tab, following one with Enter or a click, going back, scrolling, and a missing topic.
#include "tui/help_window.h"

#include <gtest/gtest.h>

#include <string>

#include "text/cp866.h"
#include "tui/application.h"
#include "tui/fake_backend.h"
#include "tui/help_file.h"
#include "tui/keys.h"

namespace vm::tui {
namespace {

class Blank : public View {
 public:
  void Draw(CellBuffer& out, const Palette&) override { out.Fill(bounds, ' ', 0x07); }
  void Layout(const Rect& desktop) override { bounds = desktop; }
};

struct HelpWindowTest : ::testing::Test {
  HelpWindowTest() : app(backend, palette) {
    app.SetMainView(&blank);
    std::string text = ".topic 1 First\nSee {two|2} and {three|3}.\n";
    for (int i = 0; i < 30; ++i) text += "line " + std::to_string(i) + "\n";
    text += "Last {back to two|2}\n.topic 2 Second\nOnly text.\n.topic 3 Third\nTo {one|1}.\n";
    help = ParseHelpText(text);
  }

  // Runs the window on topic `topic` with the keys; the window as it ended.
  void Run(HelpWindow& window, std::initializer_list<int> keys) {
    for (int k : keys) backend.PushKey(k);
    backend.PushKey(key::kEsc);
    EXPECT_EQ(app.Execute(window), cmd::kCancel);
  }

  FakeBackend backend;
  Palette palette;
  Application app;
  Blank blank;
  HelpFile help;
};

TEST_F(HelpWindowTest, TheTopicInItsWindow) {
  HelpWindow window(help, 1);
  backend.PushKey(key::kTab);
  backend.PushSnapshot();
  Run(window, {});
  ASSERT_EQ(backend.snapshots.size(), 1u);
  const CellBuffer& s = backend.snapshots[0];
  // 78 columns by 21 rows, centred on the desktop (rows 1 to 23).
  EXPECT_EQ(s.RowText(2, 1, 78),
            "\xC9" + std::string(34, '\xCD') + " First " + std::string(35, '\xCD') + "\xBB");
  EXPECT_EQ(s.RowText(3, 2, 20), "See two and three.  ");
  EXPECT_EQ(s.At(6, 3).attr, palette[pal::kHelpLinkSelected]) << "Tab picked the first reference";
  EXPECT_EQ(s.At(14, 3).attr, palette[pal::kHelpLink]);
  EXPECT_EQ(s.At(2, 3).attr, palette[pal::kWindowText]);
  EXPECT_EQ(s.At(78, 3).ch, 0x1E) << "a long topic has a scroll bar on the frame";
  EXPECT_NE(s.RowText(22, 1, 78).find("Esc"), std::string::npos);
}

TEST_F(HelpWindowTest, ReferencesAreFollowedAndLeftAgain) {
  struct Case {
    std::initializer_list<int> keys;
    int topic;
    int picked;  // the picked reference's target
  };
  const Case cases[] = {
      {{}, 1, 0},
      {{key::kTab}, 1, 2},
      {{key::kTab, key::kTab}, 1, 3},
      {{key::kTab, key::kTab, key::kTab}, 1, 2},             // the last one: "back to two"
      {{key::kBackTab}, 1, 2},                               // Shift+Tab from none: the last one
      {{key::kTab, key::kTab, key::kTab, key::kTab}, 1, 2},  // round to the first
      {{key::kTab, key::kEnter}, 2, 0},
      {{key::kTab, key::kTab, key::kEnter, key::kTab, key::kEnter}, 1, 0},
      {{key::kTab, key::kTab, key::kEnter, key::kBackspace}, 1, 3},        // back, the same pick
      {{key::kTab, key::kEnter, key::kBackspace, key::kBackspace}, 1, 2},  // nothing further back
      {{key::kEnter}, 1, 0},  // nothing picked: Enter does nothing
  };
  for (const Case& c : cases) {
    HelpWindow window(help, 1);
    Run(window, c.keys);
    EXPECT_EQ(window.Topic(), c.topic) << c.keys.size();
    EXPECT_EQ(window.PickedTarget(), c.picked) << c.keys.size();
  }
}

TEST_F(HelpWindowTest, ScrollingAndThePickKeptInView) {
  HelpWindow window(help, 1);
  Run(window, {key::kPgDn, key::kPgDn, key::kPgDn});
  EXPECT_EQ(window.TopLine(), 32 - 19) << "the last page ends on the last line";
  HelpWindow up(help, 1);
  Run(up, {key::kEnd, key::kUp, key::kHome, key::kDown});
  EXPECT_EQ(up.TopLine(), 1);
  HelpWindow picked(help, 1);
  Run(picked, {key::kBackTab});  // "back to two" on the last line
  EXPECT_EQ(picked.TopLine(), 32 - 19);
  HelpWindow wheel(help, 1);
  backend.Push(Event::Mouse({10, 10}, MouseAction::WheelDown));
  Run(wheel, {});
  EXPECT_EQ(wheel.TopLine(), 3);
}

TEST_F(HelpWindowTest, AClickOnAReferenceFollowsIt) {
  HelpWindow window(help, 1);
  backend.Push(Event::Mouse({15, 3}, MouseAction::Press));  // "three" at column 12 of the text
  Run(window, {});
  EXPECT_EQ(window.Topic(), 3);
  HelpWindow beside(help, 1);
  backend.Push(Event::Mouse({10, 3}, MouseAction::Press));  // " and "
  Run(beside, {});
  EXPECT_EQ(beside.Topic(), 1);
}

// The scroll bar on the right frame (column 78, rows 3 to 21) pages by a click on an arrow or
// the track; the wheel scrolls the page wherever the pointer is.
TEST_F(HelpWindowTest, TheScrollBarAndTheWheel) {
  struct Step {
    Point p;
    MouseAction action;
    int top;
  };
  const Step steps[] = {
      {{78, 21}, MouseAction::Press, 13}, {{78, 3}, MouseAction::Press, 0},
      {{78, 12}, MouseAction::Press, 13}, {{0, 23}, MouseAction::WheelUp, 10},
      {{40, 2}, MouseAction::Press, 10},  // the title on the frame: nothing
  };
  HelpWindow window(help, 1);
  for (const Step& step : steps) backend.Push(Event::Mouse(step.p, step.action));
  backend.PushSnapshot();
  Run(window, {});
  EXPECT_EQ(window.TopLine(), 10);
  const CellBuffer& s = backend.snapshots.at(0);
  EXPECT_EQ(s.At(78, 3).ch, 0x1E);
  EXPECT_EQ(s.At(78, 21).ch, 0x1F);
  EXPECT_EQ(s.At(78, 3).attr, palette[pal::kProgressBar]);
  EXPECT_EQ(s.RowText(3, 2, 7), "line 9 ");
  HelpWindow shortTopic(help, 2);
  backend.PushSnapshot();
  Run(shortTopic, {});
  EXPECT_EQ(backend.snapshots.at(1).At(78, 3).ch, 0xBA) << "no scroll bar on a short topic";
}

TEST_F(HelpWindowTest, AMissingTopicSaysSo) {
  HelpWindow window(help, 77);
  backend.PushSnapshot();
  Run(window, {key::kTab, key::kEnter});
  EXPECT_EQ(window.Topic(), 77);
  EXPECT_EQ(backend.snapshots[0].RowText(3, 2, 32), Cp866("Этот раздел справки отсутствует."));
}

}  // namespace
}  // namespace vm::tui
