#include "config/case_fold.h"

#include "text/cp866.h"

namespace vm {

const std::array<unsigned char, 256>& Cp866UpperTable() {
  static const std::array<unsigned char, 256> table = [] {
    std::array<unsigned char, 256> upper{};
    for (size_t c = 0; c < upper.size(); ++c) upper[c] = UpCaseCp866(static_cast<unsigned char>(c));
    return upper;
  }();
  return table;
}

void UpCaseInPlace(std::string& text) {
  const auto& upper = Cp866UpperTable();
  for (char& c : text) c = static_cast<char>(upper[static_cast<unsigned char>(c)]);
}

}  // namespace vm
