// Colour roles: which palette entries a group and its controls draw with. A dialog uses the
// dialog roles, an error box the error roles (its frame and text in the error colours), the
// editor and help windows the window roles. The colour dialog lists the entries of these sets.
#pragma once

#include <vector>

#include "tui/palette.h"

namespace vm::tui {

struct ColourRoles {
  int frame = pal::kDialogFrame;     // the frame and its title
  int text = pal::kDialogText;       // fixed text, labels, items of check boxes and radio buttons
  int selected = pal::kDialogTitle;  // the focused item; the picked cross-reference
  int hot = pal::kLabelHot;          // hot letters of labels and items; cross-references
  int button = pal::kButtonNormal;
  int buttonFocused = pal::kButtonFocused;
  int buttonHot = pal::kButtonHot;
  int buttonShadow = pal::kButtonShadow;
  int input = pal::kInputNormal;  // input lines and list boxes
  int inputSelected = pal::kInputSelected;
  int inputArrow = pal::kInputArrow;
  int bar = pal::kProgressBar;  // scroll bars and progress bars
  int disabled = pal::kMenuDisabled;
  int listCursor = pal::kMenuSelected;  // the focused item of a list box that has no focus
};

inline constexpr ColourRoles kDialogRoles{};
inline constexpr ColourRoles kErrorRoles{.frame = pal::kErrorFrame, .text = pal::kErrorText};
inline constexpr ColourRoles kWindowRoles{.frame = pal::kWindowFrame,
                                          .text = pal::kWindowText,
                                          .selected = pal::kHelpLinkSelected,
                                          .hot = pal::kHelpLink};

// The palette entries of the roles, each once, in the order of the roles above.
std::vector<int> RoleEntries(const ColourRoles& roles);

}  // namespace vm::tui
