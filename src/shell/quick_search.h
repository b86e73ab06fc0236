// The panels' quick search: the typed text becomes a mask, and the first entry matching it
// from the cursor on (then from the list's first searchable entry) becomes the cursor entry.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vm::shell {

// File names: a dot is added when the text has none; a base part of 1 to 8 characters gets a
// "*" before the dot; a final "*" is added ("ab" gives "ab*.*", "ab.c" gives "ab*.c*").
std::string FileSearchMask(std::string_view typed);
// Area names: the text followed by "*".
std::string AreaSearchMask(std::string_view typed);

// Whether a file or directory name matches a search mask; a name without a dot is taken as
// one with an empty extension, so "out*.*" finds the directory OUT.
bool MatchesSearchMask(std::string_view name, std::string_view mask);

// Whether one more character may be typed: file names take at most 8 characters before the
// dot and 3 after it; area names at most 37.
bool SearchTextAccepts(std::string_view typed, unsigned char c, bool areaNames);

// Tests the cursor entry, then the entries after it, then from `first` up to the cursor;
// the first that matches, 0 when none does.
int QuickSearch(int count, int cursor, int first, const std::function<bool(int)>& matches);

}  // namespace vm::shell
