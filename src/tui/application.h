// The application: the screen of menu bar, desktop and status line, the event loop, the
// modal views stacked over the desktop, the commands and whether each is enabled, and the
// suspension of the screen around a child process.
#pragma once

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tui/backend.h"
#include "tui/input_history.h"
#include "tui/menu_bar.h"
#include "tui/palette.h"
#include "tui/status_line.h"
#include "tui/view.h"

namespace vm::tui {

class Application {
 public:
  static constexpr int kMinWidth = 80;
  static constexpr int kMinHeight = 25;
  // How long the loop waits for input before it sends an Idle event.
  static constexpr int kIdleMs = 250;

  Application(Backend& backend, Palette& palette);

  MenuBar& Menu() { return menu_; }
  StatusLine& Status() { return status_; }
  InputHistories& Histories() { return histories_; }
  // The palette the screen is drawn in; a change shows at the next drawing.
  Palette& Colours() { return palette_; }

  // The view that fills the desktop and gets the events nothing else took.
  void SetMainView(View* view);
  // Called after every event the main loop handled (to enable and disable commands).
  void SetAfterEvent(std::function<void()> hook) { afterEvent_ = std::move(hook); }
  // Called for a break (Ctrl-C, SIGINT) in the main loop.
  void SetBreakHandler(std::function<void()> handler) { onBreak_ = std::move(handler); }
  // The help command: wherever it comes from (a key of the status line, a menu item, inside a
  // modal view), `show` gets the help context of what the user looks at.
  void SetHelp(int command, std::function<void(int context)> show) {
    helpCommand_ = command;
    onHelp_ = std::move(show);
  }
  // Ctrl+Z in the main loop: the work that stops the process (job control), run with the
  // terminal given back.
  void SetStopHandler(std::function<void()> stop) { onStop_ = std::move(stop); }

  // The help context of the topmost view: a modal view or menu over the desktop, else the
  // main view.
  int HelpContext() const;

  Rect Screen() const { return Rect{0, 0, buffer_.Width(), buffer_.Height()}; }
  Rect Desktop() const { return Rect{0, 1, buffer_.Width(), buffer_.Height() - 2}; }
  bool TooSmall() const;

  // Runs the main loop until Quit; returns at once when an end signal arrived.
  void Run();
  void Quit() { quit_ = true; }
  // SIGHUP or SIGTERM arrived: every modal loop ends with Cancel and Run returns.
  bool Terminating() const { return terminating_; }

  // Runs the view modally (centred views keep their place relative to the desktop) and
  // returns the command that ended it; Cancel when the run is ending.
  int Execute(ModalView& view);
  // Views drawn over the desktop without a loop of their own (a progress window).
  void Show(View& view);
  void Hide(View& view);

  void PutEvent(const Event& event) { queued_.push_back(event); }
  // The next event: a queued one, else the terminal's within timeoutMs. Resizes and signals
  // are handled here on the way.
  Event NextEvent(int timeoutMs);

  void EnableCommand(int command, bool enabled);
  bool CommandEnabled(int command) const { return !disabled_.contains(command); }

  void SetTitle(std::string_view cp866Title) { backend_.SetTitle(cp866Title); }
  // Draws everything and presents it.
  void Redraw();
  // Gives the terminal to `work` (a child process) and takes it back, redrawn.
  void RunSuspended(const std::function<void()>& work);

 private:
  void Resize();
  void HandleSignal(int signal);
  // Key and mouse events of the main loop: the bars first, then the main view.
  void Dispatch(Event& event);
  void DispatchCommand(int command);
  // A menu bar item chosen by its hot letter or a click: its command, or its menu opened.
  void ChooseBarItem(int index);
  // The menu bar from the item: its menu box open, or (open false) the item only lit.
  void RunMenu(int index, bool open);
  // A key of the status line inside a modal view: help, or the item's command for the view.
  bool StatusKeyInModal(ModalView& view, const Event& event);

  Backend& backend_;
  Palette& palette_;
  CellBuffer buffer_;
  MenuBar menu_;
  StatusLine status_;
  InputHistories histories_;
  View* main_ = nullptr;
  std::vector<View*> overlays_;  // modal views and shown windows, bottom first
  std::deque<Event> queued_;
  std::set<int> disabled_;
  std::function<void()> afterEvent_;
  std::function<void()> onBreak_;
  std::function<void()> onStop_;
  int helpCommand_ = 0;
  std::function<void(int)> onHelp_;
  bool quit_ = false;
  bool terminating_ = false;
};

}  // namespace vm::tui
