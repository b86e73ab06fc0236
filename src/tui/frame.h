// Window frames: double lines (or single), the title centred on the top line.
#pragma once

#include <string_view>

#include "tui/cell_buffer.h"

namespace vm::tui {

enum class FrameStyle { Single, Double };

// Fills the rectangle with blanks in attr and draws its frame, with the title (CP866, framed
// by one blank on each side unless empty) centred on the top line.
void DrawFrame(CellBuffer& out, const Rect& area, uint8_t attr, FrameStyle style,
               std::string_view title = {});

// The CP866 box-drawing characters.
namespace glyph {
inline constexpr unsigned char kDoubleHorizontal = 0xCD;     // ═
inline constexpr unsigned char kDoubleVertical = 0xBA;       // ║
inline constexpr unsigned char kDoubleTopLeft = 0xC9;        // ╔
inline constexpr unsigned char kDoubleTopRight = 0xBB;       // ╗
inline constexpr unsigned char kDoubleBottomLeft = 0xC8;     // ╚
inline constexpr unsigned char kDoubleBottomRight = 0xBC;    // ╝
inline constexpr unsigned char kSingleHorizontal = 0xC4;     // ─
inline constexpr unsigned char kSingleVertical = 0xB3;       // │
inline constexpr unsigned char kSingleTopLeft = 0xDA;        // ┌
inline constexpr unsigned char kSingleTopRight = 0xBF;       // ┐
inline constexpr unsigned char kSingleBottomLeft = 0xC0;     // └
inline constexpr unsigned char kSingleBottomRight = 0xD9;    // ┘
inline constexpr unsigned char kDoubleDownSingle = 0xD1;     // ╤
inline constexpr unsigned char kSingleUp = 0xC1;             // ┴
inline constexpr unsigned char kDoubleVerticalRight = 0xC7;  // ╟
inline constexpr unsigned char kDoubleVerticalLeft = 0xB6;   // ╢
inline constexpr unsigned char kFullBlock = 0xDB;            // █
inline constexpr unsigned char kLightShade = 0xB0;           // ░
inline constexpr unsigned char kLowerHalf = 0xDC;            // ▄
inline constexpr unsigned char kUpperHalf = 0xDF;            // ▀
inline constexpr unsigned char kSquare = 0xFE;               // ■
inline constexpr unsigned char kMiddleDot = 0xFA;            // ·
inline constexpr unsigned char kCheck = 0xFB;                // √
inline constexpr unsigned char kRightTriangle = 0x10;        // ►
inline constexpr unsigned char kLeftTriangle = 0x11;         // ◄
inline constexpr unsigned char kUpArrow = 0x18;              // ↑
inline constexpr unsigned char kUpTriangle = 0x1E;           // ▲
}  // namespace glyph

}  // namespace vm::tui
