#include "tui/keys.h"

#include <string_view>

#include "text/cp866.h"

namespace vm::tui::key {
namespace {

// The Russian layout over the Latin keys Q..P, A..;, Z../ (upper-case CP866), letter by letter
// with the Latin key it lies on; the keys that carry punctuation in the Latin layout
// (Х Ъ Ж Э Б Ю) have no Latin letter and so only answer as themselves.
struct KeyPair {
  const char* cyrillic;  // UTF-8 literal of one letter
  char latin;
};
constexpr KeyPair kLayout[] = {
    {"Й", 'Q'}, {"Ц", 'W'}, {"У", 'E'}, {"К", 'R'}, {"Е", 'T'}, {"Н", 'Y'}, {"Г", 'U'},
    {"Ш", 'I'}, {"Щ", 'O'}, {"З", 'P'}, {"Ф", 'A'}, {"Ы", 'S'}, {"В", 'D'}, {"А", 'F'},
    {"П", 'G'}, {"Р", 'H'}, {"О", 'J'}, {"Л", 'K'}, {"Д", 'L'}, {"Я", 'Z'}, {"Ч", 'X'},
    {"С", 'C'}, {"М", 'V'}, {"И", 'B'}, {"Т", 'N'}, {"Ь", 'M'},
};

}  // namespace

unsigned char KeyPosition(unsigned char letter) {
  const unsigned char up = UpCaseCp866(letter);
  if (up >= 'A' && up <= 'Z') return up;
  static const std::string cyrillic = [] {
    std::string table;
    for (const KeyPair& pair : kLayout) table += Cp866(pair.cyrillic);
    return table;
  }();
  const size_t at = cyrillic.find(static_cast<char>(up));
  return at == std::string::npos ? 0 : static_cast<unsigned char>(kLayout[at].latin);
}

bool IsAltHotLetter(int key, unsigned char hotLetter) {
  if ((key & kModifiers) != kAlt || hotLetter == 0) return false;
  const int letter = key & ~kModifiers;
  if (letter > 255) return false;
  return IsPlainHotLetter(letter, hotLetter);
}

bool IsPlainHotLetter(int key, unsigned char hotLetter) {
  if (key < 32 || key > 255 || hotLetter == 0) return false;
  const auto c = static_cast<unsigned char>(key);
  if (UpCaseCp866(c) == UpCaseCp866(hotLetter)) return true;
  const unsigned char position = KeyPosition(c);
  return position != 0 && position == KeyPosition(hotLetter);
}

bool SameKey(int pressed, int bound) {
  if (pressed == bound) return true;
  if ((bound & kModifiers) != kAlt || (bound & ~kModifiers) > 255) return false;
  return IsAltHotLetter(pressed, static_cast<unsigned char>(bound & ~kModifiers));
}

}  // namespace vm::tui::key
