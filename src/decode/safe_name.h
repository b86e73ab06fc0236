// File names taken from messages are untrusted. SafeOutputName turns whatever a posting
// announced into one plain name in one directory.
#pragma once

#include <string>
#include <string_view>

namespace vm {

// No "/", "\", drive prefix, "..", leading dot, control character or DOS device name
// survives; a name with nothing left becomes "NONAME".
std::string SafeOutputName(std::string_view announced);

// directory + safe name as a program path; empty when the name, mapped to the host, would
// land anywhere but directly inside the directory.
std::string OutputPathIn(std::string_view directory, std::string_view safeName);

// Eight random letters "a" to "y" and ".$$$": the temporary name of unattended decodes.
std::string RandomTemporaryName();
// What the names of RandomTemporaryName look like, to find those that killed runs left.
inline constexpr std::string_view kTemporaryNameMask = "????????.$$$";

}  // namespace vm
