// The progress window of a long operation: "Veldmark - " and the operation's name as the
// title, "Пожалуйста подождите", a bar over the steps and a "~O~тмена" button. It has no loop
// of its own: the operation calls Step between items and polls AbortRequested; a key press or
// a click on the button in the meantime requests the abort.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "tui/view.h"

namespace vm::tui {

class Application;

class ProgressWindow : public View {
 public:
  static constexpr int kWidth = 50;
  static constexpr int kHeight = 9;

  // Shows the window at once.
  ProgressWindow(Application& app, std::string_view cp866Name, int64_t steps);
  ~ProgressWindow() override;
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  void Step(int64_t count = 1);
  // Whether the user asked to stop since the last call (the request is taken).
  bool AbortRequested();

  void Draw(CellBuffer& out, const Palette& palette) override;
  void Layout(const Rect& desktop) override { bounds = Centred(desktop, kWidth, kHeight); }

 private:
  int FilledCells() const;
  // Takes the waiting events: keys and clicks on the button request the abort.
  void Poll();

  Application& app_;
  std::string title_;
  int64_t steps_;
  int64_t done_ = 0;
  bool abort_ = false;
  int drawnCells_ = -1;
  std::chrono::steady_clock::time_point lastPoll_;
};

}  // namespace vm::tui
