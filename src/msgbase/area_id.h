// An area id: the text that names one message area wherever an area is configured or kept (the
// area table, AREAS.LST, QUEUE.LST, VELDMARK.DUP and the history, the shell's text file). It is
// the base kind's letter, then, for a kind whose bases hold several boards, the board number
// in the kind's width, then the location: a directory, a base path without extension, a file.
//
// Parse and Format keep the spelling, so an id read from a file is written back byte for byte:
// the letter's case, the board as written (" 12", "007", or a malformed one, which the variant
// refuses when the area is opened) and the location are all kept.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "msgbase/base_kinds.h"

namespace vm {

struct AreaId {
  BaseKind kind = BaseKind::Fido;
  bool lowerCaseLetter = false;  // as an old state file or a hand-written setting may hold it
  // For a kind with boards: the board number as written, the kind's boardWidth characters
  // (fewer when the id ends there). Empty for other kinds.
  std::string board;
  std::string location;

  // The id of an area of `kind` whose locator (what follows the letter: board, then location)
  // is given.
  static AreaId Of(BaseKind kind, std::string_view locator);
  // The id of `board` in the base at `location`, the number zero-padded to the kind's width
  // (only that many of its last digits are kept). A kind without boards ignores the number.
  static AreaId OnBoard(BaseKind kind, unsigned board, std::string_view location);
  // The id the text spells; nothing when it names no kind (empty, or a letter no row has).
  static std::optional<AreaId> Parse(std::string_view text);

  std::string Format() const;
  const BaseKindRow& Row() const { return RowOf(kind); }
  // What the variant is handed (MessageBase::SetAreaPath): board and location.
  std::string Locator() const { return board + location; }

  bool operator==(const AreaId&) const = default;
};

}  // namespace vm
