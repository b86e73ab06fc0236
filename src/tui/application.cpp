#include "tui/application.h"

#include <algorithm>
#include <csignal>

#include "text/cp866.h"
#include "tui/keys.h"
#include "tui/menu_bar_focus.h"
#include "tui/menu_box.h"

namespace vm::tui {

Application::Application(Backend& backend, Palette& palette)
    : backend_(backend), palette_(palette) {
  auto enabled = [this](int command) { return CommandEnabled(command); };
  menu_.SetEnabled(enabled);
  status_.SetEnabled(enabled);
  Resize();
}

bool Application::TooSmall() const {
  return buffer_.Width() < kMinWidth || buffer_.Height() < kMinHeight;
}

void Application::SetMainView(View* view) {
  main_ = view;
  if (main_ != nullptr) main_->Layout(Desktop());
}

void Application::Resize() {
  buffer_.Resize(backend_.Width(), backend_.Height());
  menu_.bounds = Rect{0, 0, buffer_.Width(), 1};
  status_.bounds = Rect{0, buffer_.Height() - 1, buffer_.Width(), 1};
  if (main_ != nullptr) main_->Layout(Desktop());
  for (View* view : overlays_) view->Layout(Desktop());
}

void Application::EnableCommand(int command, bool enabled) {
  if (enabled)
    disabled_.erase(command);
  else
    disabled_.insert(command);
}

int Application::HelpContext() const {
  if (!overlays_.empty()) return overlays_.back()->HelpContext();
  return main_ != nullptr ? main_->HelpContext() : hc::kNoContext;
}

void Application::Redraw() {
  buffer_.HideCursor();
  status_.SetContext(HelpContext());
  if (TooSmall()) {
    buffer_.Fill(Screen(), ' ', 0x07);
    buffer_.PutText(0, 0, Cp866("Увеличьте окно терминала до 80 x 25"), 0x07);
  } else {
    buffer_.Fill(Desktop(), 0xB0, palette_[pal::kDesktop]);
    if (main_ != nullptr) main_->Draw(buffer_, palette_);
    menu_.Draw(buffer_, palette_);
    status_.Draw(buffer_, palette_);
    for (View* view : overlays_) view->Draw(buffer_, palette_);
  }
  backend_.Present(buffer_);
}

void Application::HandleSignal(int signal) {
  if (signal == SIGHUP || signal == SIGTERM) {
    terminating_ = true;
    quit_ = true;
  } else if (signal == SIGINT && overlays_.empty() && onBreak_) {
    onBreak_();
  }
}

Event Application::NextEvent(int timeoutMs) {
  for (;;) {
    Event event;
    if (!queued_.empty()) {
      event = queued_.front();
      queued_.pop_front();
    } else {
      event = backend_.WaitEvent(timeoutMs);
    }
    if (event.kind == EventKind::Resize) {
      Resize();
      Redraw();
      continue;
    }
    if (event.kind == EventKind::Signal) {
      HandleSignal(event.signal);
      if (terminating_) return Event(EventKind::Idle);
      continue;
    }
    // Below the smallest size nothing but a resize or a signal means anything.
    if (TooSmall() && (event.kind == EventKind::Key || event.kind == EventKind::Mouse)) continue;
    return event;
  }
}

void Application::Run() {
  quit_ = false;
  bool idle = false;
  while (!quit_ && !terminating_) {
    // Nothing changes the screen while the terminal is quiet.
    if (!idle) Redraw();
    Event event = NextEvent(kIdleMs);
    idle = event.kind == EventKind::Idle;
    if (event.kind == EventKind::Key && event.key == key::kCtrlC) {
      if (onBreak_) onBreak_();
    } else if (event.kind == EventKind::Key && event.key == key::kCtrlZ) {
      if (onStop_) RunSuspended(onStop_);
    } else if (event.kind == EventKind::Command) {
      DispatchCommand(event.command);
    } else if (event.kind != EventKind::None) {
      Dispatch(event);
    }
    if (afterEvent_) afterEvent_();
  }
}

void Application::DispatchCommand(int command) {
  if (command != 0 && command == helpCommand_ && onHelp_) return onHelp_(HelpContext());
  if (!CommandEnabled(command) || main_ == nullptr) return;
  Event event = Event::Command(command);
  main_->HandleEvent(event);
}

void Application::Dispatch(Event& event) {
  status_.SetContext(HelpContext());
  if (event.kind == EventKind::Key) {
    if (int command = menu_.CommandForKey(event.key); command != 0) return DispatchCommand(command);
    if (int command = status_.CommandForKey(event.key); command != 0)
      return DispatchCommand(command);
    // F10 lights the first menu without opening it; Alt with a hot letter opens that menu.
    if (event.key == key::F(10)) return RunMenu(menu_.FirstMenu(), false);
    if (int index = menu_.ItemForAltKey(event.key); index >= 0) return ChooseBarItem(index);
  } else if (event.kind == EventKind::Mouse && event.mouse.action == MouseAction::Press) {
    if (event.mouse.where.y == status_.bounds.y) {
      if (int command = status_.CommandAt(event.mouse.where.x); command != 0)
        DispatchCommand(command);
      return;
    }
    if (event.mouse.where.y == menu_.bounds.y) {
      if (int index = menu_.ItemAt(event.mouse.where.x); index >= 0) ChooseBarItem(index);
      return;
    }
  }
  if (main_ != nullptr) main_->HandleEvent(event);
}

void Application::ChooseBarItem(int index) {
  // An item with a command of its own runs it; the others open their menu.
  const int command = menu_.Items()[static_cast<size_t>(index)].command;
  if (command != 0)
    DispatchCommand(command);
  else
    RunMenu(index, true);
}

void Application::RunMenu(int index, bool open) {
  // Left and Right move between the items, their menus open while a menu is open; an item
  // with a command of its own is only lit on the way and runs by Enter or a click.
  int command = 0;
  while (index >= 0 && !terminating_) {
    const MenuBarItem& item = menu_.Items()[static_cast<size_t>(index)];
    menu_.highlighted = index;
    if (!open || item.command != 0) {
      MenuBarFocus focus(menu_, index);
      const int result = Execute(focus);
      if (result == cmd::kMenuOpen) {
        index = focus.Index();
        command = menu_.Items()[static_cast<size_t>(index)].command;
        if (command != 0) break;
        open = true;
        continue;
      }
      if (result == cmd::kMenuLeft || result == cmd::kMenuRight) {
        index = menu_.Neighbour(focus.Index(), result == cmd::kMenuLeft ? -1 : 1);
        continue;
      }
      if (result != cmd::kCancel) command = result;  // a key of the status line
      break;
    }
    MenuBox box(
        item.items, menu_.ItemColumn(index), menu_.bounds.y + 1,
        [this](int c) { return CommandEnabled(c); }, item.helpContext);
    const int result = Execute(box);
    if (result == cmd::kMenuLeft || result == cmd::kMenuRight) {
      index = menu_.Neighbour(index, result == cmd::kMenuLeft ? -1 : 1);
      continue;
    }
    if (result == cmd::kMenuBarClick) {
      // The clicked item opens its menu, or runs its command; its own item closes the menu.
      const int clicked = menu_.ItemAt(box.ClickedColumn());
      if (clicked < 0 || clicked == index) break;
      command = menu_.Items()[static_cast<size_t>(clicked)].command;
      if (command != 0) break;
      index = clicked;
      continue;
    }
    if (result != cmd::kCancel) command = result;
    break;
  }
  menu_.highlighted = -1;
  if (command != 0) DispatchCommand(command);
}

int Application::Execute(ModalView& view) {
  view.Restart();
  view.Layout(Desktop());
  overlays_.push_back(&view);
  while (!view.Ended()) {
    if (terminating_) {
      view.EndModal(cmd::kCancel);
      break;
    }
    Redraw();
    Event event = NextEvent(kIdleMs);
    if (StatusKeyInModal(view, event)) continue;
    if (event.kind != EventKind::None && event.kind != EventKind::Idle) view.HandleEvent(event);
  }
  std::erase(overlays_, &view);
  return view.EndCommand();
}

bool Application::StatusKeyInModal(ModalView& view, const Event& event) {
  status_.SetContext(HelpContext());
  int command = 0;
  if (event.kind == EventKind::Key)
    command = status_.CommandForKey(event.key);
  else if (event.kind == EventKind::Mouse && event.mouse.action == MouseAction::Press &&
           event.mouse.where.y == status_.bounds.y)
    command = status_.CommandAt(event.mouse.where.x);
  if (command == 0) return false;
  if (command == helpCommand_) {
    if (onHelp_) onHelp_(HelpContext());
  } else {
    Event commandEvent = Event::Command(command);
    view.HandleEvent(commandEvent);
  }
  return true;
}

void Application::Show(View& view) {
  view.Layout(Desktop());
  overlays_.push_back(&view);
}

void Application::Hide(View& view) { std::erase(overlays_, &view); }

void Application::RunSuspended(const std::function<void()>& work) {
  backend_.Suspend();
  work();
  backend_.Resume();
  Resize();
  Redraw();
}

}  // namespace vm::tui
