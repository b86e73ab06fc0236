// A group: a view that holds controls placed relative to its top-left corner. It draws them
// clipped to its bounds, gives key events to the focused one (Tab and Shift+Tab move the
// focus among those that take it, a hot letter reaches its control), and gives a mouse event
// to the control under the pointer, in that control's own cells. Dialogs, the editor and help
// windows and the shell's main window are groups.
#pragma once

#include <memory>
#include <vector>

#include "tui/control.h"
#include "tui/view.h"

namespace vm::tui {

class Group : public ModalView {
 public:
  // Adds the control (the group owns it); the first control that takes the focus gets it.
  template <typename T>
  T& Add(std::unique_ptr<T> control) {
    T& added = *control;
    Adopt(std::move(control));
    return added;
  }
  void Focus(const Control& control);
  const Control* Focused() const;
  Control* Focused();
  // The control under the screen cell, nullptr when none.
  Control* ChildAt(Point where) const;
  // Ends the group's modal run with the command (a button asks this).
  virtual void Close(int command) { EndModal(command); }
  // Every control records what was typed (a dialog ended with OK).
  void CommitAll();

  // The palette entries the group and its controls draw with (a set that outlives the group).
  void SetRoles(const ColourRoles& roles) { roles_ = &roles; }
  const ColourRoles& Roles() const { return *roles_; }

  // Draws the controls; a group with a frame draws it first.
  void Draw(CellBuffer& out, const Palette& palette) override;
  // Takes what belongs to the controls and leaves the rest of the event for the group's owner.
  void HandleEvent(Event& event) override;

 protected:
  void MoveFocus(int step);

 private:
  void Adopt(std::unique_ptr<Control> control);
  void HandleMouse(Event& event);
  void HandleKey(Event& event);
  bool HandleHotLetter(int key);

  std::vector<std::unique_ptr<Control>> controls_;
  int focus_ = -1;
  const ColourRoles* roles_ = &kDialogRoles;
};

}  // namespace vm::tui
