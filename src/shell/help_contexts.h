// The shell's help contexts: the numbers of the help topics in veldmark.hlp that the status
// line's hints and the help window follow (the toolkit's own are in tui/view.h).
#pragma once

namespace vm::shell::hc {

inline constexpr int kMainWindow = 0;
// The menus and their items; the dialogs an item opens share its number.
inline constexpr int kFileMenu = 10;
inline constexpr int kEncode = 11;
inline constexpr int kDecode = 12;
inline constexpr int kDelete = 13;
inline constexpr int kInformation = 14;
inline constexpr int kChangeDrive = 15;
inline constexpr int kQuit = 16;
inline constexpr int kSelectionMenu = 20;
inline constexpr int kSelect = 21;
inline constexpr int kUnselect = 22;
inline constexpr int kInvert = 23;
inline constexpr int kOptionsMenu = 30;
inline constexpr int kColours = 31;
inline constexpr int kStandardColours = 32;
inline constexpr int kSavePalette = 33;
inline constexpr int kLoadPalette = 34;
inline constexpr int kToolsMenu = 40;
// User utility i (from 1) is kUtility + i; all of them share the topic kUtility.
inline constexpr int kUtility = 50;
// Windows that no menu item opens.
inline constexpr int kQueueWindow = 100;
inline constexpr int kAdvancedDialog = 101;
inline constexpr int kCompressionDialog = 102;

// Every context above, each with its topic in the help file the program ships.
inline constexpr int kAll[] = {
    kMainWindow,  kFileMenu,    kEncode,          kDecode,           kDelete,      kInformation,
    kChangeDrive, kQuit,        kSelectionMenu,   kSelect,           kUnselect,    kInvert,
    kOptionsMenu, kColours,     kStandardColours, kSavePalette,      kLoadPalette, kToolsMenu,
    kUtility,     kQueueWindow, kAdvancedDialog,  kCompressionDialog};

}  // namespace vm::shell::hc
