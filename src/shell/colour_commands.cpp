#include "shell/colour_commands.h"

#include <optional>

#include "shell/help_contexts.h"
#include "shell/palette_file.h"
#include "shell/panel_colours.h"
#include "text/cp866.h"
#include "tui/application.h"
#include "tui/file_dialog.h"
#include "tui/message_box.h"

namespace vm::shell {
namespace {

tui::ColourGroup Group(const char* name, std::initializer_list<std::pair<const char*, int>> items) {
  tui::ColourGroup group{Cp866(name), {}};
  for (const auto& [item, index] : items)
    group.items.push_back(tui::ColourItem{Cp866(item), index});
  return group;
}

// The file dialog in the program directory; the chosen path, or nothing.
std::optional<std::string> AskPaletteFile(tui::Application& app, const char* title, int context,
                                          const std::string& programDir) {
  tui::FileDialog dialog(Cp866(title), Cp866("~И~мя"), programDir, "*.pal");
  dialog.helpContext = context;
  if (app.Execute(dialog) != tui::cmd::kOk) return std::nullopt;
  return dialog.Chosen();
}

}  // namespace

std::vector<tui::ColourGroup> ShellColourGroups() {
  namespace pal = tui::pal;
  return {
      Group("Панели файлов", {{"Рамка/Фон", panel_pal::kFrame},
                              {"Заголовок", panel_pal::kTitle},
                              {"Файл", panel_pal::kFile},
                              {"Курсор/Файл", panel_pal::kCursor},
                              {"Выдел. файл", panel_pal::kSelected},
                              {"Курсор/Выдел. файл", panel_pal::kCursorSelected},
                              {"Неполный файл", panel_pal::kIncomplete},
                              {"Кypсоp/Неполн. файл", panel_pal::kCursorIncomplete},
                              {"Файл от Вас", panel_pal::kOwn},
                              {"Курсор/Файл от Вас", panel_pal::kCursorOwn}}),
      Group("Меню", {{"Пункт", pal::kMenuNormal},
                     {"Горячая буква", pal::kMenuHot},
                     {"Выбранный пункт", pal::kMenuSelected},
                     {"Выбранная буква", pal::kMenuSelectedHot},
                     {"Недоступный пункт", pal::kMenuDisabled},
                     {"Строка статуса", pal::kStatusNormal},
                     {"Клавиша статуса", pal::kStatusHot},
                     {"Недоступная клавиша", pal::kStatusDisabled}}),
      Group("Диалоги", {{"Рамка", pal::kDialogFrame},
                        {"Текст", pal::kDialogText},
                        {"Заголовок группы", pal::kDialogTitle},
                        {"Горячая буква", pal::kLabelHot},
                        {"Кнопка", pal::kButtonNormal},
                        {"Кнопка в фокусе", pal::kButtonFocused},
                        {"Буква кнопки", pal::kButtonHot},
                        {"Тень кнопки", pal::kButtonShadow},
                        {"Строка ввода", pal::kInputNormal},
                        {"Выделенный ввод", pal::kInputSelected},
                        {"Стрелки ввода", pal::kInputArrow},
                        {"Полоса/Прокрутка", pal::kProgressBar},
                        {"Рамка ошибки", pal::kErrorFrame},
                        {"Текст ошибки", pal::kErrorText}}),
      Group("Редактор", {{"Рамка", pal::kWindowFrame},
                         {"Текст", pal::kWindowText},
                         {"Ссылка", pal::kHelpLink},
                         {"Выбранная ссылка", pal::kHelpLinkSelected}}),
  };
}

void ChangeColours(tui::Application& app) {
  tui::ColourDialog dialog(app.Colours(), ShellColourGroups());
  dialog.helpContext = hc::kColours;
  if (app.Execute(dialog) == tui::cmd::kOk) app.Colours() = dialog.Edited();
}

void StandardColours(tui::Application& app) { app.Colours() = tui::Palette(); }

void SavePalette(tui::Application& app, const std::string& programDir) {
  const auto path = AskPaletteFile(app, "Сохранить палитру", hc::kSavePalette, programDir);
  if (path && !SavePaletteFile(*path, app.Colours())) ShowError(app, Cp866("Ошибка записи файла."));
}

void LoadPalette(tui::Application& app, const std::string& programDir) {
  const auto path = AskPaletteFile(app, "Загрузить палитру", hc::kLoadPalette, programDir);
  if (path && !LoadPaletteFile(*path, app.Colours()))
    ShowError(app, Cp866("Ошибка открытия файла."));
}

}  // namespace vm::shell
