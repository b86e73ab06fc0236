#include "tui/text_editor.h"

#include <algorithm>

#include "tui/keys.h"
#include "tui/scroll_bar.h"

namespace vm::tui {
namespace {

constexpr size_t kLineBreak = 2;  // CR LF

}  // namespace

TextEditor::TextEditor(const Rect& area, size_t limit) : limit_(limit) { local = area; }

size_t TextEditor::Size() const {
  size_t size = (lines_.size() - 1) * kLineBreak;
  for (const std::string& line : lines_) size += line.size();
  return size;
}

std::string TextEditor::Text() const {
  std::string text;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines_[i];
  }
  return text;
}

void TextEditor::ScrollToCursor() {
  if (row_ < top_) top_ = row_;
  if (row_ >= top_ + TextHeight()) top_ = row_ - TextHeight() + 1;
  if (column_ < left_) left_ = column_;
  if (column_ >= left_ + TextWidth()) left_ = column_ - TextWidth() + 1;
}

void TextEditor::MoveTo(int row, int column) {
  row_ = std::clamp(row, 0, static_cast<int>(lines_.size()) - 1);
  column_ = std::clamp(column, 0, LineLength(row_));
  ScrollToCursor();
}

void TextEditor::Type(unsigned char c) {
  if (Size() + 1 > limit_) return;
  Line().insert(static_cast<size_t>(column_), 1, static_cast<char>(c));
  MoveTo(row_, column_ + 1);
}

void TextEditor::BreakLine() {
  if (Size() + kLineBreak > limit_) return;
  std::string rest = Line().substr(static_cast<size_t>(column_));
  Line().resize(static_cast<size_t>(column_));
  lines_.insert(lines_.begin() + row_ + 1, std::move(rest));
  MoveTo(row_ + 1, 0);
}

void TextEditor::DeleteBefore() {
  if (column_ > 0) {
    Line().erase(static_cast<size_t>(column_ - 1), 1);
    MoveTo(row_, column_ - 1);
  } else if (row_ > 0) {
    const int joint = LineLength(row_ - 1);
    lines_[static_cast<size_t>(row_ - 1)] += Line();
    lines_.erase(lines_.begin() + row_);
    MoveTo(row_ - 1, joint);
  }
}

void TextEditor::DeleteAt() {
  if (column_ < LineLength(row_)) {
    Line().erase(static_cast<size_t>(column_), 1);
  } else if (row_ + 1 < static_cast<int>(lines_.size())) {
    Line() += lines_[static_cast<size_t>(row_ + 1)];
    lines_.erase(lines_.begin() + row_ + 1);
  }
}

void TextEditor::HandleEvent(Event& event) {
  if (event.kind == EventKind::Mouse) {
    const Point p = event.mouse.where;
    if (event.mouse.action == MouseAction::WheelUp)
      MoveTo(row_ - 1, column_);
    else if (event.mouse.action == MouseAction::WheelDown)
      MoveTo(row_ + 1, column_);
    else if (p.x < TextWidth() && p.y < TextHeight())
      MoveTo(top_ + p.y, left_ + p.x);
    event.Clear();
    return;
  }
  if (event.kind != EventKind::Key) return;
  const int k = event.key;
  if (key::IsCharacter(k)) {
    Type(static_cast<unsigned char>(k));
  } else {
    switch (k) {
      case key::kEnter: BreakLine(); break;
      case key::kBackspace:
      case 127: DeleteBefore(); break;
      case key::kDel: DeleteAt(); break;
      case key::kLeft:
        if (column_ > 0)
          MoveTo(row_, column_ - 1);
        else if (row_ > 0)
          MoveTo(row_ - 1, LineLength(row_ - 1));
        break;
      case key::kRight:
        if (column_ < LineLength(row_))
          MoveTo(row_, column_ + 1);
        else if (row_ + 1 < static_cast<int>(lines_.size()))
          MoveTo(row_ + 1, 0);
        break;
      case key::kUp: MoveTo(row_ - 1, column_); break;
      case key::kDown: MoveTo(row_ + 1, column_); break;
      case key::kHome: MoveTo(row_, 0); break;
      case key::kEnd: MoveTo(row_, LineLength(row_)); break;
      case key::kPgUp: MoveTo(row_ - TextHeight(), column_); break;
      case key::kPgDn: MoveTo(row_ + TextHeight(), column_); break;
      default: return;
    }
  }
  event.Clear();
}

void TextEditor::Draw(CellBuffer& out, const Palette& palette, Point origin, bool focused) {
  const int x = origin.x + local.x;
  const int y = origin.y + local.y;
  const uint8_t attr = palette[Colours().text];
  out.Fill(Rect{x, y, TextWidth(), TextHeight()}, ' ', attr);
  for (int row = 0; row < TextHeight(); ++row) {
    const size_t line = static_cast<size_t>(top_ + row);
    if (line >= lines_.size()) break;
    const std::string& text = lines_[line];
    if (static_cast<size_t>(left_) < text.size())
      out.PutText(x, y + row,
                  std::string_view(text).substr(static_cast<size_t>(left_),
                                                static_cast<size_t>(TextWidth())),
                  attr);
  }
  int widest = 0;
  for (int row = 0; row < static_cast<int>(lines_.size()); ++row)
    widest = std::max(widest, LineLength(row));
  const uint8_t bar = palette[Colours().bar];
  ScrollBar{Rect{x + TextWidth(), y, 1, TextHeight()}, row_, static_cast<int>(lines_.size()) - 1}
      .Draw(out, bar);
  ScrollBar{Rect{x, y + TextHeight(), TextWidth(), 1}, column_, widest}.Draw(out, bar);
  if (focused) out.SetCursor(x + column_ - left_, y + row_ - top_);
}

}  // namespace vm::tui
