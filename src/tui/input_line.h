// A one-line text field of at most maxLength CP866 characters, scrolled within its width.
// When it gets the focus its whole text is selected, so that typing replaces it. Up and Down
// walk the input history of its number; the text is added to that history when the dialog
// ends with OK.
#pragma once

#include <string>

#include "tui/control.h"
#include "tui/input_history.h"
#include "tui/input_validator.h"

namespace vm::tui {

class InputLine : public Control {
 public:
  InputLine(int x, int y, int width, size_t maxLength, InputHistories* histories = nullptr,
            int historyId = 0);

  void Draw(CellBuffer& out, const Palette& palette, Point origin, bool focused) override;
  bool Focusable() const override { return true; }
  void HandleEvent(Event& event) override;
  void Commit() override;
  bool TakesCharacters() const override { return true; }

  const std::string& Text() const { return text_; }
  void SetText(std::string text);
  // Characters the validator does not accept cannot be typed (it must outlive the line).
  void SetValidator(const InputValidator* validator) { validator_ = validator; }
  const InputValidator* Validator() const { return validator_; }

 private:
  void Insert(unsigned char c);
  void FromHistory(int step);

  size_t maxLength_;
  InputHistories* histories_;
  int historyId_;
  std::string text_;
  size_t cursor_ = 0;
  size_t first_ = 0;  // the first character shown
  bool selected_ = true;
  int historyAt_ = -1;
  const InputValidator* validator_ = nullptr;
};

}  // namespace vm::tui
