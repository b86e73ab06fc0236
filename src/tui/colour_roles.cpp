#include "tui/colour_roles.h"

#include <algorithm>

namespace vm::tui {

std::vector<int> RoleEntries(const ColourRoles& roles) {
  std::vector<int> entries;
  for (int entry :
       {roles.frame, roles.text, roles.selected, roles.hot, roles.button, roles.buttonFocused,
        roles.buttonHot, roles.buttonShadow, roles.input, roles.inputSelected, roles.inputArrow,
        roles.bar, roles.disabled, roles.listCursor})
    if (std::ranges::find(entries, entry) == entries.end()) entries.push_back(entry);
  return entries;
}

}  // namespace vm::tui
