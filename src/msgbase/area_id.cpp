#include "msgbase/area_id.h"

#include <algorithm>

namespace vm {

AreaId AreaId::Of(BaseKind kind, std::string_view locator) {
  AreaId id;
  id.kind = kind;
  const size_t width = std::min(RowOf(kind).boardWidth, locator.size());
  id.board = locator.substr(0, width);
  id.location = locator.substr(width);
  return id;
}

AreaId AreaId::OnBoard(BaseKind kind, unsigned board, std::string_view location) {
  AreaId id;
  id.kind = kind;
  id.board.assign(RowOf(kind).boardWidth, '0');
  for (auto digit = id.board.rbegin(); digit != id.board.rend(); ++digit, board /= 10)
    *digit = static_cast<char>('0' + board % 10);
  id.location = location;
  return id;
}

std::optional<AreaId> AreaId::Parse(std::string_view text) {
  if (text.empty()) return std::nullopt;
  const BaseKindRow* row = KindOfLetter(text[0]);
  if (row == nullptr) return std::nullopt;
  AreaId id = Of(row->kind, text.substr(1));
  id.lowerCaseLetter = text[0] != row->letter;
  return id;
}

std::string AreaId::Format() const {
  const char letter = Row().letter;
  std::string text(1, lowerCaseLetter ? static_cast<char>(letter - 'A' + 'a') : letter);
  return text.append(board).append(location);
}

}  // namespace vm
