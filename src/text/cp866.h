// Code page 866: case folding and conversion to and from Unicode (UTF-8).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vm {

// Upper-cases "a"-"z" and the Cyrillic lower-case letters (160-175, 224-239, 241).
unsigned char UpCaseCp866(unsigned char c);
std::string UpCaseCp866(std::string_view text);

// Upper-cases ASCII letters only.
std::string UpCaseAscii(std::string_view text);

// The inverse of UpCaseCp866 on letters; used where a name is folded for comparison.
unsigned char LowCaseCp866(unsigned char c);

// Case-insensitive comparison of two CP866 texts (UpCaseCp866 folding).
bool EqualNoCaseCp866(std::string_view a, std::string_view b);

char32_t Cp866ToUnicode(unsigned char c);

// The character a DOS screen shows for a byte: like Cp866ToUnicode, except that the control
// codes 1-31 and 127 appear as their glyphs (1 is a smiling face, 16 and 17 the triangles, 27
// an arrow ...) and 0 as a blank. For putting message texts on a screen without letting their
// bytes act as terminal controls.
char32_t Cp866DisplayChar(unsigned char c);

// Appends one code point of the Basic Multilingual Plane as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

// CP866 bytes to UTF-8; every byte has a Unicode counterpart.
std::string Cp866ToUtf8(std::string_view text);

// UTF-8 to CP866; characters without a CP866 counterpart and malformed sequences become '?'.
std::string Utf8ToCp866(std::string_view text);

// The UTF-8 character at the start of the text as a CP866 byte, with the length of its
// sequence; nothing when the sequence is malformed or cut off, or code page 866 has no such
// character.
struct Cp866Char {
  unsigned char byte = 0;
  size_t length = 0;
};
std::optional<Cp866Char> Utf8CharToCp866(std::string_view text);

// The program's own texts stand in the source as UTF-8 literals and are used as CP866:
// Cp866("Нажмите любую клавишу"). Hot paths keep the converted text in a static.
inline std::string Cp866(std::string_view utf8Literal) { return Utf8ToCp866(utf8Literal); }

}  // namespace vm
