// Area tag masks of the area definitions file: "*" any run of characters, "?" one character.
#pragma once

#include <string_view>

namespace vm {

// Whether the tag matches the mask, letters compared after CP866 upper-casing.
//
// The walk is deliberately loose in two places, and area definitions files rely on it: a "?"
// that ends the mask, or that meets the end of the tag, accepts the rest ("R?" matches
// "RU.TEST"); and a "*" jumps to the first occurrence of the character after it without
// trying later ones ("*.B" does not match "A.A.B").
bool MatchMask(std::string_view mask, std::string_view tag);

// Whether the mask matches every tag whatever it is ("*" and "*.*"), so that the tags need not
// be looked at.
bool MatchesEveryTag(std::string_view mask);

}  // namespace vm
