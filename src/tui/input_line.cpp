#include "tui/input_line.h"

#include "tui/frame.h"
#include "tui/keys.h"

namespace vm::tui {

InputLine::InputLine(int x, int y, int width, size_t maxLength, InputHistories* histories,
                     int historyId)
    : maxLength_(maxLength), histories_(histories), historyId_(historyId) {
  local = Rect{x, y, width, 1};
}

void InputLine::SetText(std::string text) {
  if (text.size() > maxLength_) text.resize(maxLength_);
  text_ = std::move(text);
  cursor_ = text_.size();
  selected_ = true;
}

void InputLine::Draw(CellBuffer& out, const Palette& palette, Point origin, bool focused) {
  const int x = origin.x + local.x;
  const int y = origin.y + local.y;
  const int room = local.width - 2;  // a blank at each end
  if (cursor_ < first_) first_ = cursor_;
  if (static_cast<int>(cursor_ - first_) > room) first_ = cursor_ - static_cast<size_t>(room);
  const ColourRoles& colours = Colours();
  const uint8_t attr = palette[disabled ? colours.disabled : colours.input];
  const uint8_t lit = focused && selected_ ? palette[colours.inputSelected] : attr;
  out.Fill(Rect{x, y, local.width, 1}, ' ', attr);
  out.PutText(x + 1, y, std::string_view(text_).substr(first_, static_cast<size_t>(room)), lit);
  if (first_ > 0) out.Put(x, y, glyph::kLeftTriangle, palette[colours.inputArrow]);
  if (text_.size() - first_ > static_cast<size_t>(room))
    out.Put(x + local.width - 1, y, glyph::kRightTriangle, palette[colours.inputArrow]);
  if (focused) out.SetCursor(x + 1 + static_cast<int>(cursor_ - first_), y);
}

void InputLine::Insert(unsigned char c) {
  if (validator_ != nullptr && !validator_->Accepts(c)) return;
  if (selected_) text_.clear(), cursor_ = 0;
  selected_ = false;
  if (text_.size() >= maxLength_) return;
  text_.insert(cursor_++, 1, static_cast<char>(c));
}

void InputLine::FromHistory(int step) {
  if (histories_ == nullptr) return;
  const auto& entries = histories_->Entries(historyId_);
  if (entries.empty()) return;
  const int count = static_cast<int>(entries.size());
  // Up goes back to older entries, Down forward again; the first Up gives the latest.
  historyAt_ = historyAt_ < 0 ? 0 : historyAt_ - step;
  historyAt_ = (historyAt_ % count + count) % count;
  SetText(entries[static_cast<size_t>(count - 1 - historyAt_)]);
}

void InputLine::HandleEvent(Event& event) {
  if (event.kind == EventKind::Mouse) {
    event.Clear();
    return;
  }
  if (event.kind != EventKind::Key) return;
  const int k = event.key;
  if (key::IsCharacter(k)) {
    Insert(static_cast<unsigned char>(k));
  } else if (k == key::kBackspace || k == 127) {
    if (selected_)
      text_.clear(), cursor_ = 0;
    else if (cursor_ > 0)
      text_.erase(--cursor_, 1);
    selected_ = false;
  } else if (k == key::kDel) {
    if (selected_)
      text_.clear(), cursor_ = 0;
    else if (cursor_ < text_.size())
      text_.erase(cursor_, 1);
    selected_ = false;
  } else if (k == key::kLeft) {
    if (cursor_ > 0) --cursor_;
    selected_ = false;
  } else if (k == key::kRight) {
    if (cursor_ < text_.size()) ++cursor_;
    selected_ = false;
  } else if (k == key::kHome) {
    cursor_ = 0, selected_ = false;
  } else if (k == key::kEnd) {
    cursor_ = text_.size(), selected_ = false;
  } else if (k == key::kUp || k == key::kDown) {
    FromHistory(k == key::kUp ? -1 : 1);
  } else {
    return;
  }
  event.Clear();
}

void InputLine::Commit() {
  if (histories_ != nullptr) histories_->Add(historyId_, text_);
}

}  // namespace vm::tui
