// The file panels' palette indexes.
#pragma once

namespace vm::shell::panel_pal {

inline constexpr int kFrame = 96;              // Рамка/Фон
inline constexpr int kFile = 97;               // Файл
inline constexpr int kCursor = 98;             // Курсор/Файл
inline constexpr int kIncomplete = 99;         // Неполный файл
inline constexpr int kSelected = 100;          // Выдел. файл
inline constexpr int kCursorSelected = 101;    // Курсор/Выдел. файл
inline constexpr int kTitle = 102;             // Заголовок
inline constexpr int kCursorIncomplete = 103;  // Кypсоp/Неполн. файл
inline constexpr int kOwn = 104;               // Файл от Вас
inline constexpr int kCursorOwn = 105;         // Курсор/Файл от Вас

}  // namespace vm::shell::panel_pal
