// A control inside a dialog: placed relative to the dialog's top-left corner (the frame is
// row 0 and column 0), drawn by the dialog, focused by Tab, a click or its hot letter.
#pragma once

#include "tui/cell_buffer.h"
#include "tui/event.h"
#include "tui/palette.h"

namespace vm::tui {

class Dialog;

class Control {
 public:
  virtual ~Control() = default;
  virtual void Draw(CellBuffer& out, const Palette& palette, Point origin, bool focused) = 0;
  virtual bool Focusable() const { return false; }
  virtual void HandleEvent(Event& event) {}
  // The letter that, with Alt (or alone while no input line has the focus), reaches it.
  virtual unsigned char Hot() const { return 0; }
  // Its hot letter or a click chose it; a label passes the focus on.
  virtual void Activate() {}
  // The dialog ended with OK: record what was typed.
  virtual void Commit() {}
  // Whether plain letters belong to the control (an input line), not to hot letters.
  virtual bool TakesCharacters() const { return false; }
  // Whether Tab, a click or a hot letter may give it the focus now.
  bool CanFocus() const { return !disabled && Focusable(); }

  Rect local;
  // A disabled control is drawn dimmed and takes neither the focus nor clicks.
  bool disabled = false;
  Dialog* owner = nullptr;
};

}  // namespace vm::tui
