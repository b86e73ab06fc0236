// Key codes. A key is an int: 0 to 255 a CP866 character (Enter 13, Esc 27, Tab 9,
// Backspace 8, Ctrl+\ 28), larger values the named keys below, optionally with the Shift, Ctrl
// or Alt bit. Alt with a letter is kAlt | the letter upper-cased (CP866).
#pragma once

#include <string>

namespace vm::tui::key {

inline constexpr int kShift = 0x10000;
inline constexpr int kCtrl = 0x20000;
inline constexpr int kAlt = 0x40000;
inline constexpr int kModifiers = kShift | kCtrl | kAlt;

inline constexpr int kEnter = 13;
inline constexpr int kEsc = 27;
inline constexpr int kTab = 9;
inline constexpr int kBackspace = 8;
inline constexpr int kCtrlBackslash = 28;
inline constexpr int kCtrlC = 3;
inline constexpr int kCtrlR = 18;
inline constexpr int kCtrlZ = 26;

inline constexpr int kUp = 0x1001;
inline constexpr int kDown = 0x1002;
inline constexpr int kLeft = 0x1003;
inline constexpr int kRight = 0x1004;
inline constexpr int kHome = 0x1005;
inline constexpr int kEnd = 0x1006;
inline constexpr int kPgUp = 0x1007;
inline constexpr int kPgDn = 0x1008;
inline constexpr int kIns = 0x1009;
inline constexpr int kDel = 0x100A;
inline constexpr int kGrayPlus = 0x100B;
inline constexpr int kGrayMinus = 0x100C;
inline constexpr int kGrayStar = 0x100D;
inline constexpr int kBackTab = 0x100E;
inline constexpr int kF1 = 0x1100;  // kF1 + n - 1 for Fn, n = 1..12

constexpr int F(int n) { return kF1 + n - 1; }
constexpr int Alt(int c) { return kAlt | c; }

// A character key: a CP866 byte, no modifier.
inline bool IsCharacter(int key) { return key >= 32 && key <= 255 && key != 127; }

// The Latin letter on the key that types the given letter on a Russian (ЙЦУКЕН) or a Latin
// (QWERTY) keyboard, upper-cased; 0 for anything else. Ф and A give 'A'.
unsigned char KeyPosition(unsigned char letter);

// Whether a key is Alt with the hot letter, as typed in either keyboard layout: the hot
// letter Ф answers Alt+Ф and Alt+A, the hot letter B answers Alt+B and Alt+И.
bool IsAltHotLetter(int key, unsigned char hotLetter);
// Whether a plain character key types the hot letter (without regard to case or layout).
bool IsPlainHotLetter(int key, unsigned char hotLetter);
// Whether two keys are the same key of the keyboard: equal, or Alt with letters on the same key
// in the two layouts (Alt+X bound to a command answers Alt+Ч as well).
bool SameKey(int pressed, int bound);

}  // namespace vm::tui::key
