// What the toolkit's tests share: an application on the fake backend with a menu bar (Файл
// with Открыть, a separator, a disabled item and Выход; Выбор with one item), a status line
// with F3, and a main view that records the commands and keys reaching the desktop.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/cp866.h"
#include "tui/application.h"
#include "tui/fake_backend.h"
#include "tui/keys.h"

namespace vm::tui::test {

inline constexpr int kQuitCommand = 100;
inline constexpr int kOpenCommand = 101;
inline constexpr int kDisabledCommand = 102;
inline constexpr int kSelectCommand = 103;
// A help context the application gives its own windows.
inline constexpr int kAppContext = 10;

inline std::string FieldPadTo(std::string text, size_t width) {
  text.resize(width, ' ');
  return text;
}

// The CP866 byte of a letter written in UTF-8.
inline unsigned char C(const char* utf8Letter) {
  return static_cast<unsigned char>(Cp866(utf8Letter)[0]);
}

// Records what reaches the desktop; the quit command ends the run.
class RecordingView : public View {
 public:
  explicit RecordingView(Application& app) : app_(app) {}
  void Draw(CellBuffer& out, const Palette& palette) override {
    out.Fill(bounds, ' ', palette[pal::kDesktop]);
  }
  void HandleEvent(Event& event) override {
    if (event.kind == EventKind::Command) {
      commands.push_back(event.command);
      if (event.command == kQuitCommand) app_.Quit();
    } else if (event.kind == EventKind::Key) {
      keys.push_back(event.key);
    }
    event.Clear();
  }
  void Layout(const Rect& desktop) override { bounds = desktop; }

  std::vector<int> commands;
  std::vector<int> keys;

 private:
  Application& app_;
};

// The widgets' tests run their dialogs alone, over an empty desktop.
struct WidgetsTest : ::testing::Test {
  WidgetsTest() : app(backend, palette) {}
  void Keys(std::initializer_list<int> keys) {
    for (int k : keys) backend.PushKey(k);
  }
  void Click(int x, int y, MouseAction action = MouseAction::Press) {
    backend.Push(Event::Mouse(Point{x, y}, action));
  }

  FakeBackend backend;
  Palette palette;
  Application app;
};

// The application with a menu bar, a status line and a main view that records what reaches it.
struct ToolkitTest : WidgetsTest {
  ToolkitTest() : view(app) {
    MenuBarItem file;
    file.text = Cp866("~Ф~айл");
    file.items = {MenuItem{Cp866("~О~ткрыть"), "F3", key::F(3), kOpenCommand},
                  MenuItem::Separator(), MenuItem{Cp866("~Н~едоступно"), "", 0, kDisabledCommand},
                  MenuItem{Cp866("~В~ыход"), "Alt+X", key::Alt('X'), kQuitCommand}};
    MenuBarItem select;
    select.text = Cp866("~B~ыбор");
    select.items = {MenuItem{Cp866("~В~ыбрать"), "+", key::kGrayPlus, kSelectCommand}};
    app.Menu().SetItems({file, select});
    app.Status().SetItems({{Cp866("~F3~ Открыть"), key::F(3), kOpenCommand}});
    app.SetMainView(&view);
    app.EnableCommand(kDisabledCommand, false);
  }
  RecordingView view;
};

}  // namespace vm::tui::test
