// The kinds of message base an area can be kept in, and the one table that says what each kind
// is: its letter (the first character of an area id), its type word in VELDMARK.CTL, its name
// as the user sees it, how its area ids write the location, and how its variant is made.
// Everything outside a kind's folder that needs to know about kinds asks this table.
//
// Adding a kind: its folder under src/msgbase, an enumerator below and its row in
// base_kinds.cpp (the build fails while an enumerator has no row), and its fuzz line in
// tests/fuzz/CMakeLists.txt.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "msgbase/message_base.h"

namespace vm {

enum class BaseKind : unsigned char { Fido, Hudson, Jam, Squish, TextFile, Count };

struct BaseKindRow {
  BaseKind kind;
  // The first character of the kind's area ids (upper case here; ids are read in either case).
  char letter;
  // The type word of an AREA line in VELDMARK.CTL; empty for a kind that cannot be written
  // there.
  std::string_view keyword;
  // The kind as the area information window names it (source text: Cp866 gives the bytes).
  std::string_view name;
  // Characters of board number that come before the location in an area id (the board's place
  // in a base shared by several areas); 0 when the location stands alone.
  size_t boardWidth;
  // A new, empty variant; an empty handle when it cannot be made.
  MessageBaseHandle (*make)();
};

// Every kind, in the order of the enumerators.
std::span<const BaseKindRow> BaseKinds();
const BaseKindRow& RowOf(BaseKind kind);
// The kind whose letter this is, in either case; nullptr when none is.
const BaseKindRow* KindOfLetter(char letter);
// The kind whose type word this is, as written (the settings reader upper-cases it first);
// nullptr when none is.
const BaseKindRow* KindOfKeyword(std::string_view keyword);

}  // namespace vm
