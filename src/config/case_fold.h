// UpCaseCp866 through a table, for the loops that fold every tag, path and area id of a large
// configuration.
#pragma once

#include <array>
#include <string>

namespace vm {

const std::array<unsigned char, 256>& Cp866UpperTable();

void UpCaseInPlace(std::string& text);

}  // namespace vm
