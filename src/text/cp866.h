// Code page 866: case folding and conversion to and from Unicode (UTF-8).
#pragma once

#include <cstdint>
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

// CP866 bytes to UTF-8; every byte has a Unicode counterpart.
std::string Cp866ToUtf8(std::string_view text);

// UTF-8 to CP866; characters without a CP866 counterpart and malformed sequences become '?'.
std::string Utf8ToCp866(std::string_view text);

// The program's own texts stand in the source as UTF-8 literals and are used as CP866:
// Cp866("Нажмите любую клавишу"). Hot paths keep the converted text in a static.
inline std::string Cp866(std::string_view utf8Literal) { return Utf8ToCp866(utf8Literal); }

}  // namespace vm
