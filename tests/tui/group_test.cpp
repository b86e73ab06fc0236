// The group every window is built on: children drawn at their places relative to the group and
// never outside it, Tab and Shift+Tab over the children that take the focus, hot letters, and
// mouse events handed to the child under the pointer in that child's own cells.
#include "tui/group.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tui/keys.h"

namespace vm::tui {
namespace {

// A control that fills its cells with one letter (upper case while focused) and records the
// characters and clicks that reach it; with `passes` it leaves them unhandled.
class Probe : public Control {
 public:
  Probe(Rect area, char letter, bool focusable = true, unsigned char hot = 0)
      : letter_(letter), focusable_(focusable), hot_(hot) {
    local = area;
  }
  void Draw(CellBuffer& out, const Palette&, Point origin, bool focused) override {
    const char shown = focused ? static_cast<char>(letter_ - 'a' + 'A') : letter_;
    out.Fill(Rect{origin.x + local.x, origin.y + local.y, local.width, local.height},
             static_cast<unsigned char>(shown), 0x07);
  }
  bool Focusable() const override { return focusable_; }
  unsigned char Hot() const override { return hot_; }
  void HandleEvent(Event& event) override {
    if (event.kind == EventKind::Mouse)
      clicks.push_back(event.mouse.where);
    else if (event.kind == EventKind::Key && key::IsCharacter(event.key))
      keys.push_back(event.key);
    else
      return;
    if (!passes) event.Clear();
  }
  void Activate() override { ++activations; }

  std::vector<Point> clicks;
  std::vector<int> keys;
  int activations = 0;
  bool passes = false;

 private:
  char letter_;
  bool focusable_;
  unsigned char hot_;
};

struct GroupTest : ::testing::Test {
  GroupTest() {
    group.bounds = Rect{10, 5, 20, 6};
    a = &group.Add(std::make_unique<Probe>(Rect{1, 1, 3, 1}, 'a'));
    label = &group.Add(std::make_unique<Probe>(Rect{5, 1, 3, 1}, 'l', false));
    b = &group.Add(std::make_unique<Probe>(Rect{1, 3, 4, 2}, 'b', true, 'B'));
    c = &group.Add(std::make_unique<Probe>(Rect{10, 3, 4, 1}, 'c'));
  }
  int Key(int code) {
    Event event = Event::Key(code);
    group.HandleEvent(event);
    return event.kind == EventKind::None ? 0 : event.key;
  }
  bool Click(int x, int y, MouseAction action = MouseAction::Press) {
    Event event = Event::Mouse(Point{x, y}, action);
    group.HandleEvent(event);
    return event.kind == EventKind::None;
  }

  Group group;
  Probe* a = nullptr;
  Probe* label = nullptr;
  Probe* b = nullptr;
  Probe* c = nullptr;
};

TEST_F(GroupTest, TabAndShiftTabWalkTheChildrenThatTakeTheFocusAndWrapAround) {
  EXPECT_EQ(group.Focused(), a) << "the first child that takes the focus starts with it";
  std::vector<const Control*> walked;
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Key(key::kTab), 0);
    walked.push_back(group.Focused());
  }
  EXPECT_EQ(walked, (std::vector<const Control*>{b, c, a, b})) << "the label is passed over";
  c->disabled = true;
  Key(key::kTab);
  EXPECT_EQ(group.Focused(), a) << "a disabled child is passed over";
  Key(key::kBackTab);
  EXPECT_EQ(group.Focused(), b);
  group.Focus(*label);
  EXPECT_EQ(group.Focused(), b) << "a child that takes no focus cannot be given it";
}

TEST_F(GroupTest, KeysGoToTheFocusedChildFirstAndHotLettersReachTheirChild) {
  Key('x');
  EXPECT_EQ(a->keys, (std::vector<int>{'x'}));
  EXPECT_TRUE(b->keys.empty());
  a->passes = true;
  EXPECT_EQ(Key('q'), 'q') << "what neither the child nor the group takes is left for the owner";
  EXPECT_EQ(Key('b'), 0);
  EXPECT_EQ(group.Focused(), b);
  EXPECT_EQ(b->activations, 1);
  b->passes = true;
  EXPECT_EQ(Key(key::Alt('B')), 0);
  EXPECT_EQ(b->activations, 2);
}

TEST_F(GroupTest, ClicksReachTheChildUnderThePointerInItsOwnCells) {
  EXPECT_TRUE(Click(10 + 2, 5 + 4));
  EXPECT_EQ(group.Focused(), b);
  ASSERT_EQ(b->clicks.size(), 1u);
  EXPECT_EQ(b->clicks[0].x, 1);
  EXPECT_EQ(b->clicks[0].y, 1);
  EXPECT_FALSE(Click(10 + 18, 5 + 1)) << "no child there: the owner gets the click";
  EXPECT_FALSE(Click(2, 2)) << "outside the group";
  EXPECT_EQ(group.ChildAt(Point{10 + 11, 5 + 3}), c);
  EXPECT_EQ(group.ChildAt(Point{10 + 14, 5 + 3}), nullptr);

  // A press the child leaves presses it; a double click it leaves is the owner's.
  c->passes = true;
  EXPECT_TRUE(Click(10 + 10, 5 + 3));
  EXPECT_EQ(c->activations, 1);
  EXPECT_FALSE(Click(10 + 10, 5 + 3, MouseAction::DoubleClick));
  EXPECT_EQ(c->activations, 1);

  // A disabled child takes neither the click nor the focus.
  a->disabled = true;
  EXPECT_TRUE(Click(10 + 1, 5 + 1));
  EXPECT_TRUE(a->clicks.empty());
  EXPECT_EQ(group.Focused(), c);
}

TEST_F(GroupTest, ChildrenDrawAtTheirPlacesAndNeverOutsideTheGroup) {
  CellBuffer out(40, 12);
  out.Fill(Rect{0, 0, 40, 12}, '.', 0x07);
  c->local = Rect{17, 3, 8, 4};  // reaches past the right and bottom edges
  group.Draw(out, Palette());
  EXPECT_EQ(out.RowText(6, 10, 20), ".AAA.lll............");
  EXPECT_EQ(out.RowText(8, 10, 21), ".bbbb............ccc.");
  EXPECT_EQ(out.RowText(10, 10, 21), ".................ccc.") << "the group's last row";
  EXPECT_EQ(out.RowText(11, 0, 40), std::string(40, '.')) << "below the group";
  EXPECT_EQ(out.Clip().width, 40) << "the clip is the whole buffer again afterwards";
  EXPECT_EQ(out.Clip().height, 12);
}

}  // namespace
}  // namespace vm::tui
