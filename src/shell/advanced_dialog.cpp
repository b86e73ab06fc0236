#include "shell/advanced_dialog.h"

#include <memory>

#include "encode/section_layout.h"
#include "shell/help_contexts.h"
#include "text/cp866.h"
#include "text/text_helpers.h"
#include "tui/application.h"
#include "tui/button.h"
#include "tui/check_boxes.h"
#include "tui/dialog.h"
#include "tui/digits_validator.h"
#include "tui/input_line.h"
#include "tui/label.h"
#include "tui/radio_buttons.h"
#include "tui/range_validator.h"

namespace vm::shell {

using namespace tui;

bool ValidSectionsList(std::string_view list, int32_t total) {
  size_t pos = 0;
  for (;;) {
    SkipBlanks(pos, list);
    if (pos >= list.size()) return true;
    const size_t start = pos;
    while (pos < list.size() && static_cast<unsigned char>(list[pos]) > ' ') ++pos;
    const std::optional<int64_t> number = ParseWholeNumber(list.substr(start, pos - start));
    if (!number || *number < 1 || *number > total) return false;
  }
}

bool RunAdvancedDialog(Application& app, const EncodeSetup& setup, EncodeChoices& choices,
                       Prompts& prompts) {
  const bool oneFile = setup.fileNames.size() == 1;
  InputHistories* histories = &app.Histories();
  Dialog dialog(76, 17, Cp866("Кодирование - Дополнительно"));
  dialog.helpContext = hc::kAdvancedDialog;
  const auto input = [&](int x, int y, int width, size_t length, int historyId, const char* label,
                         int labelX) {
    auto& line = dialog.Add(std::make_unique<InputLine>(x, y, width, length, histories, historyId));
    dialog.Add(std::make_unique<Label>(labelX, y, Cp866(label), &line));
    return &line;
  };
  InputLine* name = input(7, 2, 14, 12, history::kPostedName, "Имя:", 2);
  InputLine* sections = input(41, 2, 32, 30, history::kSections, "Посылать секции:", 24);
  auto& attributes = dialog.Add(std::make_unique<CheckBoxes>(
      2, 4, 24,
      std::vector<std::string>{"Private", "Crash", "Kill/Sent", "Confirm Receipt", "Return Receipt",
                               "Hold for Pickup"}));
  InputLine* lines = input(46, 4, 12, 10, history::kNumbers, "Строк в секции:", 30);
  auto& noTemplate = dialog.Add(std::make_unique<CheckBoxes>(
      30, 6, 28, std::vector<std::string>{Cp866("Текст без шаблона")}));
  auto& sendMode = dialog.Add(std::make_unique<RadioButtons>(
      30, 8, 34,
      std::vector<std::string>{Cp866("Послать как обычно"), Cp866("Послать немедленно"),
                               Cp866("Переопределение лимита")}));
  InputLine* perDay = input(46, 12, 12, 10, history::kNumbers, "Секций в день:", 30);
  dialog.Add(std::make_unique<Button>(22, 14, 12, Cp866("O~k~"), cmd::kOk));
  dialog.Add(std::make_unique<Button>(38, 14, 12, Cp866("~О~тмена"), cmd::kCancel));
  dialog.SetDefaultCommand(cmd::kOk);

  const DigitsValidator digits;
  const RangeValidator lineRange(2, 1000);
  const RangeValidator dayRange(1, 65535);
  sections->SetValidator(&digits);
  lines->SetValidator(&lineRange);
  perDay->SetValidator(&dayRange);

  name->SetText(choices.postedName);
  sections->SetText(choices.sections);
  attributes.SetValue(choices.attributes);
  lines->SetText(choices.linesPerSection);
  noTemplate.SetValue(choices.noTemplate && choices.encoding == kChoiceText ? 1 : 0);
  sendMode.SetValue(choices.sendMode);
  perDay->SetText(choices.sectionsPerDay);

  name->disabled = sections->disabled = !oneFile;
  noTemplate.disabled = choices.encoding != kChoiceText;
  const auto followSendMode = [&] { perDay->disabled = sendMode.Value() != kModeOverride; };
  followSendMode();
  sendMode.SetOnChange(followSendMode);
  // The dialog gave the focus to its first control before some were disabled.
  if (!oneFile) dialog.Focus(attributes);

  const auto refuse = [&](const std::string& message) {
    prompts.Error(message);
    return false;
  };
  dialog.SetBeforeClose([&](int command) {
    if (command != cmd::kOk) return true;
    if (auto error = lineRange.Check(lines->Text())) return refuse(*error);
    if (!perDay->disabled)
      if (auto error = dayRange.Check(perDay->Text())) return refuse(*error);
    if (!oneFile) return true;
    if (name->Text().empty()) return refuse(Cp866("Поле \"Имя\" не может быть пустым!"));
    if (choices.subject.empty()) return refuse(Cp866("Поле \"Тема\" не может быть пустым!"));
    EncodeChoices typed = choices;
    typed.noTemplate = noTemplate.Value() != 0;
    const int64_t capacity = SectionCapacity(FlagsFromChoices(typed), std::stoi(lines->Text()));
    if (!ValidSectionsList(sections->Text(), TotalSections(setup.firstFileSize, capacity)))
      return refuse(Cp866("Ошибка в задании секций"));
    return true;
  });
  if (app.Execute(dialog) != cmd::kOk) return false;
  choices.postedName = name->Text();
  choices.sections = sections->Text();
  choices.attributes = attributes.Value();
  choices.linesPerSection = lines->Text();
  choices.noTemplate = noTemplate.Value() != 0;
  choices.sendMode = sendMode.Value();
  choices.sectionsPerDay = perDay->Text();
  return true;
}

}  // namespace vm::shell
