#include "config/area_mask.h"

#include "config/case_fold.h"

namespace vm {

bool MatchesEveryTag(std::string_view mask) { return mask == "*" || mask == "*.*"; }

bool MatchMask(std::string_view mask, std::string_view tag) {
  if (MatchesEveryTag(mask)) return true;
  if (mask.empty()) return false;  // an AREA line without a mask selects nothing
  const unsigned char* upper = Cp866UpperTable().data();
  auto fold = [upper](char c) { return upper[static_cast<unsigned char>(c)]; };
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
      unsigned char next = fold(mask[i + 1]);
      while (j < tag.size() && fold(tag[j]) != next) ++j;
      if (j == tag.size()) return false;
      ++i;
    } else {
      if (j >= tag.size() || fold(tag[j]) != fold(c)) return false;
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
