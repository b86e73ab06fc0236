#include "config/area_mask.h"

namespace vm {

bool MatchMask(std::string_view mask, std::string_view tag) {
  if (mask == "*" || mask == "*.*") return true;
  if (mask.empty()) return false;  // an AREA line without a mask selects nothing
  size_t i = 0;  // in the mask
  size_t j = 0;  // in the tag
  while (i < mask.size()) {
    char c = mask[i];
    if (c == '?') {
      ++i;
      ++j;
      if (i >= mask.size() || j >= tag.size()) return true;
    } else if (c == '*') {
      if (i + 1 == mask.size()) return true;
      size_t found = tag.find(mask[i + 1], j);
      if (found == std::string_view::npos) return false;
      j = found;
      ++i;
    } else {
      if (j >= tag.size() || tag[j] != c) return false;
      ++i;
      ++j;
      if (i >= mask.size() || j >= tag.size()) {
        if (i < mask.size() && mask[i] == '*') return true;
        return i >= mask.size() && j >= tag.size();
      }
    }
  }
  return false;  // not reached: every step above ends the walk at the mask's end
}

}  // namespace vm
