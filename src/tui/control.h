// A control inside a group (a dialog, a window): placed relative to the group's top-left
// corner (a dialog's frame is row 0 and column 0), drawn by the group, focused by Tab, a click
// or its hot letter. Mouse events reach it in its own cells (0, 0 is its top-left corner).
#pragma once

#include "tui/cell_buffer.h"
#include "tui/colour_roles.h"
#include "tui/event.h"
#include "tui/palette.h"

namespace vm::tui {

class Group;

class Control {
 public:
  virtual ~Control() = default;
  virtual void Draw(CellBuffer& out, const Palette& palette, Point origin, bool focused) = 0;
  virtual bool Focusable() const { return false; }
  virtual void HandleEvent(Event& event) {}
  // The letter that, with Alt (or alone while no input line has the focus), reaches it.
  virtual unsigned char Hot() const { return 0; }
  // Its hot letter or a click it left unhandled chose it; a label passes the focus on.
  virtual void Activate() {}
  // The dialog ended with OK: record what was typed.
  virtual void Commit() {}
  // Whether plain letters belong to the control (an input line), not to hot letters.
  virtual bool TakesCharacters() const { return false; }
  // Whether Tab, a click or a hot letter may give it the focus now.
  bool CanFocus() const { return !disabled && Focusable(); }
  // The colour roles of its group (the dialog roles outside any group).
  const ColourRoles& Colours() const;

  Rect local;
  // A disabled control is drawn dimmed and takes neither the focus nor clicks.
  bool disabled = false;
  Group* owner = nullptr;
};

}  // namespace vm::tui
