#include "tui/message_box.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "text/cp866.h"
#include "tui/application.h"
#include "tui/button.h"
#include "tui/dialog.h"
#include "tui/static_text.h"

namespace vm::tui {
namespace {

constexpr int kWidth = 44;
constexpr int kTextWidth = kWidth - 6;
constexpr int kButtonWidth = 12;

struct ButtonChoice {
  const char* text;
  int command;
};

std::vector<ButtonChoice> ButtonsOf(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::YesNo: return {{"~Д~а", cmd::kYes}, {"~Н~ет", cmd::kNo}};
    case MessageButtons::OkCancel: return {{"O~k~", cmd::kOk}, {"~О~тмена", cmd::kCancel}};
    case MessageButtons::Ok: break;
  }
  return {{"O~k~", cmd::kOk}};
}

const char* TitleOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::Confirmation: return "Подтверждение";
    case MessageKind::Error: return "Ошибка";
    case MessageKind::Information: break;
  }
  return "Информация";
}

}  // namespace

int MessageBox(Application& app, std::string_view cp866Text, MessageKind kind,
               MessageButtons buttons) {
  std::vector<std::string> lines = WrapText(cp866Text, kTextWidth);
  const int desktopRoom = app.Desktop().height - 6;
  if (static_cast<int>(lines.size()) > desktopRoom)
    lines.resize(static_cast<size_t>(std::max(1, desktopRoom)));
  const int textRows = static_cast<int>(lines.size());
  Dialog dialog(kWidth, textRows + 6, Cp866(TitleOf(kind)));
  dialog.helpContext = hc::kMessageBox;
  if (kind == MessageKind::Error) dialog.SetRoles(kErrorRoles);
  dialog.Add(std::make_unique<StaticText>(Rect{3, 2, kTextWidth, textRows}, std::move(lines)));

  const std::vector<ButtonChoice> choices = ButtonsOf(buttons);
  const int count = static_cast<int>(choices.size());
  const int gap = 2;
  int x = (kWidth - (count * kButtonWidth + (count - 1) * gap)) / 2;
  for (const ButtonChoice& choice : choices) {
    dialog.Add(std::make_unique<Button>(x, textRows + 3, kButtonWidth, Cp866(choice.text),
                                        choice.command));
    x += kButtonWidth + gap;
  }
  const int answer = app.Execute(dialog);
  if (answer == cmd::kCancel && buttons == MessageButtons::YesNo) return cmd::kNo;
  return answer;
}

bool AskYes(Application& app, std::string_view cp866Text) {
  return MessageBox(app, cp866Text, MessageKind::Confirmation, MessageButtons::YesNo) == cmd::kYes;
}

void ShowError(Application& app, std::string_view cp866Text) {
  MessageBox(app, cp866Text, MessageKind::Error, MessageButtons::Ok);
}

void ShowInformation(Application& app, std::string_view cp866Text) {
  MessageBox(app, cp866Text, MessageKind::Information, MessageButtons::Ok);
}

}  // namespace vm::tui
