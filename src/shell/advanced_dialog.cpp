#include "shell/advanced_dialog.h"

#include <memory>
#include <optional>
#include <string>

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

namespace {

// The validators of the number fields (they outlive every dialog).
const DigitsValidator kDigits;
const RangeValidator kLineRange(2, 1000);
const RangeValidator kDayRange(1, 65535);

// The dialog's fields.
struct AdvancedFields {
  InputLine* name = nullptr;
  InputLine* sections = nullptr;
  CheckBoxes* attributes = nullptr;
  InputLine* lines = nullptr;
  CheckBoxes* noTemplate = nullptr;
  RadioButtons* sendMode = nullptr;
  InputLine* perDay = nullptr;
};

// Places the fields with their labels and the buttons.
AdvancedFields AddFields(Dialog& dialog, InputHistories* histories) {
  const auto input = [&](int x, int y, int width, size_t length, int historyId, const char* label,
                         int labelX) {
    auto& line = dialog.Add(std::make_unique<InputLine>(x, y, width, length, histories, historyId));
    dialog.Add(std::make_unique<Label>(labelX, y, Cp866(label), &line));
    return &line;
  };
  AdvancedFields fields;
  fields.name = input(7, 2, 14, 12, history::kPostedName, "Имя:", 2);
  fields.sections = input(41, 2, 32, 30, history::kSections, "Посылать секции:", 24);
  fields.attributes = &dialog.Add(std::make_unique<CheckBoxes>(
      2, 4, 24,
      std::vector<std::string>{"Private", "Crash", "Kill/Sent", "Confirm Receipt", "Return Receipt",
                               "Hold for Pickup"}));
  fields.lines = input(46, 4, 12, 10, history::kNumbers, "Строк в секции:", 30);
  fields.noTemplate = &dialog.Add(std::make_unique<CheckBoxes>(
      30, 6, 28, std::vector<std::string>{Cp866("Текст без шаблона")}));
  fields.sendMode = &dialog.Add(std::make_unique<RadioButtons>(
      30, 8, 34,
      std::vector<std::string>{Cp866("Послать как обычно"), Cp866("Послать немедленно"),
                               Cp866("Переопределение лимита")}));
  fields.perDay = input(46, 12, 12, 10, history::kNumbers, "Секций в день:", 30);
  dialog.Add(std::make_unique<Button>(22, 14, 12, Cp866("O~k~"), cmd::kOk));
  dialog.Add(std::make_unique<Button>(38, 14, 12, Cp866("~О~тмена"), cmd::kCancel));
  dialog.SetDefaultCommand(cmd::kOk);
  fields.sections->SetValidator(&kDigits);
  fields.lines->SetValidator(&kLineRange);
  fields.perDay->SetValidator(&kDayRange);
  return fields;
}

void ShowChoices(const AdvancedFields& fields, const EncodeChoices& choices) {
  fields.name->SetText(choices.postedName);
  fields.sections->SetText(choices.sections);
  fields.attributes->SetValue(choices.attributes);
  fields.lines->SetText(choices.linesPerSection);
  fields.noTemplate->SetValue(choices.noTemplate && choices.encoding == kChoiceText ? 1 : 0);
  fields.sendMode->SetValue(choices.sendMode);
  fields.perDay->SetText(choices.sectionsPerDay);
}

void TakeChoices(const AdvancedFields& fields, EncodeChoices& choices) {
  choices.postedName = fields.name->Text();
  choices.sections = fields.sections->Text();
  choices.attributes = fields.attributes->Value();
  choices.linesPerSection = fields.lines->Text();
  choices.noTemplate = fields.noTemplate->Value() != 0;
  choices.sendMode = fields.sendMode->Value();
  choices.sectionsPerDay = fields.perDay->Text();
}

// The name and the sections belong to a single file, the template choice to text; the daily
// limit is typed only for the override mode and follows the send mode.
void DisableWhatDoesNotApply(Dialog& dialog, const AdvancedFields& fields, bool oneFile,
                             int encoding) {
  fields.name->disabled = fields.sections->disabled = !oneFile;
  fields.noTemplate->disabled = encoding != kChoiceText;
  const auto followSendMode = [fields] {
    fields.perDay->disabled = fields.sendMode->Value() != kModeOverride;
  };
  followSendMode();
  fields.sendMode->SetOnChange(followSendMode);
  // The dialog gave the focus to its first control before some were disabled.
  if (!oneFile) dialog.Focus(*fields.attributes);
}

// What is wrong with the typed fields, checked as OK is pressed; nothing when all is well.
std::optional<std::string> CheckFields(const AdvancedFields& fields, const EncodeSetup& setup,
                                       const EncodeChoices& choices, bool oneFile) {
  if (auto error = kLineRange.Check(fields.lines->Text())) return error;
  if (!fields.perDay->disabled)
    if (auto error = kDayRange.Check(fields.perDay->Text())) return error;
  if (!oneFile) return std::nullopt;
  if (fields.name->Text().empty()) return Cp866("Поле \"Имя\" не может быть пустым!");
  if (choices.subject.empty()) return Cp866("Поле \"Тема\" не может быть пустым!");
  EncodeChoices typed = choices;
  typed.noTemplate = fields.noTemplate->Value() != 0;
  const int64_t capacity =
      SectionCapacity(FlagsFromChoices(typed), std::stoi(fields.lines->Text()));
  if (!ValidSectionsList(fields.sections->Text(), TotalSections(setup.firstFileSize, capacity)))
    return Cp866("Ошибка в задании секций");
  return std::nullopt;
}

}  // namespace

bool RunAdvancedDialog(Application& app, const EncodeSetup& setup, EncodeChoices& choices,
                       Prompts& prompts) {
  const bool oneFile = setup.fileNames.size() == 1;
  Dialog dialog(76, 17, Cp866("Кодирование - Дополнительно"));
  dialog.helpContext = hc::kAdvancedDialog;
  const AdvancedFields fields = AddFields(dialog, &app.Histories());
  ShowChoices(fields, choices);
  DisableWhatDoesNotApply(dialog, fields, oneFile, choices.encoding);
  dialog.SetBeforeClose([&](int command) {
    if (command != cmd::kOk) return true;
    const std::optional<std::string> error = CheckFields(fields, setup, choices, oneFile);
    if (error) prompts.Error(*error);
    return !error;
  });
  if (app.Execute(dialog) != cmd::kOk) return false;
  TakeChoices(fields, choices);
  return true;
}

}  // namespace vm::shell
