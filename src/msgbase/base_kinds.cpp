#include "msgbase/base_kinds.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include "msgbase/fido/fido_msg_base.h"
#include "msgbase/hudson/hudson_base.h"
#include "msgbase/hudson/hudson_layout.h"
#include "msgbase/jam/jam_base.h"
#include "msgbase/squish/squish_base.h"
#include "msgbase/textfile/text_file_base.h"

namespace vm {
namespace {

template <class Variant>
MessageBaseHandle Make() {
  return std::make_unique<Variant>();
}

constexpr BaseKindRow kRows[] = {
    {BaseKind::Fido, 'F', "MSG", "Fido/*.msg", 0, &Make<FidoMsgBase>},
    {BaseKind::Hudson, 'H', "HUDSON", "Hudson", hudson::kBoardDigits, &Make<HudsonBase>},
    {BaseKind::Jam, 'J', "JAM", "JAM", 0, &Make<JamBase>},
    {BaseKind::Squish, 'S', "SQUISH", "Squish", 0, &Make<SquishBase>},
    {BaseKind::TextFile, 'T', "", "текстовый файл", 0, &Make<TextFileBase>},
};

constexpr bool OneRowPerKindInOrder() {
  if (std::size(kRows) != static_cast<size_t>(BaseKind::Count)) return false;
  for (size_t i = 0; i < std::size(kRows); ++i)
    if (kRows[i].kind != static_cast<BaseKind>(i)) return false;
  return true;
}
static_assert(OneRowPerKindInOrder(), "each BaseKind has its row, in the enumerators' order");

}  // namespace

std::span<const BaseKindRow> BaseKinds() { return kRows; }

const BaseKindRow& RowOf(BaseKind kind) { return kRows[static_cast<size_t>(kind)]; }

const BaseKindRow* KindOfLetter(char letter) {
  // Letters are ASCII; folding by hand keeps CP866 bytes from ever matching one.
  const char upper =
      letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
  auto row = std::find_if(std::begin(kRows), std::end(kRows),
                          [upper](const BaseKindRow& r) { return r.letter == upper; });
  return row == std::end(kRows) ? nullptr : &*row;
}

const BaseKindRow* KindOfKeyword(std::string_view keyword) {
  if (keyword.empty()) return nullptr;
  auto row = std::find_if(std::begin(kRows), std::end(kRows),
                          [keyword](const BaseKindRow& r) { return r.keyword == keyword; });
  return row == std::end(kRows) ? nullptr : &*row;
}

}  // namespace vm
