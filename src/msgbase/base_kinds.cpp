#include "msgbase/base_kinds.h"

#include <algorithm>
#include <memory>

#include "msgbase/fido/fido_msg_base.h"
#include "msgbase/hudson/hudson_base.h"
#include "msgbase/hudson/hudson_layout.h"
#include "msgbase/jam/jam_base.h"
#include "msgbase/squish/squish_base.h"
#include "msgbase/textfile/text_file_base.h"
#include "text/cp866.h"

namespace vm {
namespace {

template <class Variant>
MessageBaseHandle Make() {
  return std::make_unique<Variant>();
}

std::span<const BaseKindRow> Rows() {
  // Kept in the order of the letters: sorting areas by type follows it.
  static const BaseKindRow rows[] = {
      {BaseKind::Fido, "MSG", "Fido/*.msg", 0, &Make<FidoMsgBase>},
      {BaseKind::Hudson, "HUDSON", "Hudson", hudson::kBoardDigits, &Make<HudsonBase>},
      {BaseKind::Jam, "JAM", "JAM", 0, &Make<JamBase>},
      {BaseKind::Squish, "SQUISH", "Squish", 0, &Make<SquishBase>},
      {BaseKind::TextFile, "", Cp866("текстовый файл"), 0, &Make<TextFileBase>},
  };
  return rows;
}

}  // namespace

std::span<const BaseKindRow> BaseKinds() { return Rows(); }

const BaseKindRow& RowOf(BaseKind kind) {
  // Every enumerator has its row (the registry test holds it to that).
  return *KindOfLetter(static_cast<char>(kind));
}

const BaseKindRow* KindOfLetter(char letter) {
  // Letters are ASCII; folding by hand keeps CP866 bytes from ever matching one.
  const char upper =
      letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
  const std::span<const BaseKindRow> rows = Rows();
  auto row = std::find_if(rows.begin(), rows.end(),
                          [upper](const BaseKindRow& r) { return r.Letter() == upper; });
  return row == rows.end() ? nullptr : &*row;
}

const BaseKindRow* KindOfKeyword(std::string_view keyword) {
  if (keyword.empty()) return nullptr;
  const std::span<const BaseKindRow> rows = Rows();
  auto row = std::find_if(rows.begin(), rows.end(),
                          [keyword](const BaseKindRow& r) { return r.keyword == keyword; });
  return row == rows.end() ? nullptr : &*row;
}

}  // namespace vm
