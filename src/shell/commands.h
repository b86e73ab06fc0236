// The shell's command numbers, shared by the menu, the status line and the main window.
#pragma once

namespace vm::shell::cmd {

inline constexpr int kQuit = 1;
inline constexpr int kHelp = 9;
inline constexpr int kChangeDrive = 201;
inline constexpr int kEncode = 202;
inline constexpr int kDecode = 203;
inline constexpr int kAbout = 204;
inline constexpr int kDelete = 205;
inline constexpr int kSelect = 206;
inline constexpr int kUnselect = 207;
inline constexpr int kInvert = 208;
inline constexpr int kDeCode = 209;  // encode or decode, by the active panel
inline constexpr int kInformation = 210;
inline constexpr int kColours = 212;
inline constexpr int kSavePalette = 213;
inline constexpr int kLoadPalette = 214;
inline constexpr int kStandardColours = 215;
inline constexpr int kQueue = 216;
inline constexpr int kRefresh = 217;  // read the directory panel again
// The send-queue window's buttons (and status line keys).
inline constexpr int kQueueSendNow = 218;
inline constexpr int kQueueRemove = 219;
// User utility i (from 1) is command kUtility + i.
inline constexpr int kUtility = 300;

}  // namespace vm::shell::cmd
