#include "tui/control.h"

#include "tui/group.h"

namespace vm::tui {

const ColourRoles& Control::Colours() const {
  return owner != nullptr ? owner->Roles() : kDialogRoles;
}

}  // namespace vm::tui
