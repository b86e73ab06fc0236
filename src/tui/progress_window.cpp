#include "tui/progress_window.h"

#include <algorithm>

#include "text/cp866.h"
#include "tui/application.h"
#include "tui/frame.h"

namespace vm::tui {
namespace {

constexpr int kBarWidth = ProgressWindow::kWidth - 6;
constexpr auto kPollInterval = std::chrono::milliseconds(50);

}  // namespace

ProgressWindow::ProgressWindow(Application& app, std::string_view cp866Name, int64_t steps)
    : app_(app),
      title_(Cp866("Veldmark - ") + std::string(cp866Name)),
      steps_(std::max<int64_t>(steps, 1)) {
  helpContext = hc::kNoKeys;  // the main window's keys do nothing meanwhile
  app_.Show(*this);
  app_.Redraw();
  lastPoll_ = std::chrono::steady_clock::now();
}

ProgressWindow::~ProgressWindow() { app_.Hide(*this); }

int ProgressWindow::FilledCells() const {
  return static_cast<int>(std::min(done_, steps_) * kBarWidth / steps_);
}

void ProgressWindow::Step(int64_t count) {
  done_ += count;
  const auto now = std::chrono::steady_clock::now();
  if (FilledCells() != drawnCells_ || now - lastPoll_ >= kPollInterval) Poll();
}

bool ProgressWindow::AbortRequested() {
  Poll();
  const bool requested = abort_ || app_.Terminating();
  abort_ = false;
  return requested;
}

void ProgressWindow::Poll() {
  lastPoll_ = std::chrono::steady_clock::now();
  for (;;) {
    const Event event = app_.NextEvent(0);
    if (event.kind == EventKind::Key) abort_ = true;
    if (event.kind == EventKind::Mouse && event.mouse.action == MouseAction::Press) {
      const Point p = event.mouse.where;
      if (p.y == bounds.y + 6 && p.x >= bounds.x + 19 && p.x < bounds.x + 31) abort_ = true;
    }
    if (event.kind == EventKind::Idle || event.kind == EventKind::None) break;
  }
  if (FilledCells() != drawnCells_) app_.Redraw();
}

void ProgressWindow::Draw(CellBuffer& out, const Palette& palette) {
  DrawFrame(out, bounds, palette[pal::kDialogFrame], FrameStyle::Double, title_);
  const uint8_t text = palette[pal::kDialogText];
  const std::string wait = Cp866("Пожалуйста подождите");
  out.PutText(bounds.x + (kWidth - static_cast<int>(wait.size())) / 2, bounds.y + 2, wait, text);
  drawnCells_ = FilledCells();
  const uint8_t bar = palette[pal::kProgressBar];
  for (int i = 0; i < kBarWidth; ++i)
    out.Put(bounds.x + 3 + i, bounds.y + 4,
            i < drawnCells_ ? glyph::kFullBlock : glyph::kLightShade, bar);
  const uint8_t button = palette[pal::kButtonFocused];
  out.Fill(Rect{bounds.x + 19, bounds.y + 6, 11, 1}, ' ', button);
  out.PutHotText(bounds.x + 21, bounds.y + 6, Cp866("~O~тмена"), button, palette[pal::kButtonHot]);
  out.Put(bounds.x + 30, bounds.y + 6, glyph::kLowerHalf, palette[pal::kButtonShadow]);
  for (int i = 1; i <= 11; ++i)
    out.Put(bounds.x + 19 + i, bounds.y + 7, glyph::kUpperHalf, palette[pal::kButtonShadow]);
}

}  // namespace vm::tui
