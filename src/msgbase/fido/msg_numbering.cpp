#include "msgbase/fido/msg_numbering.h"

#include <algorithm>
#include <bit>

#include "text/cp866.h"

namespace vm {

int32_t MsgNumbering::NumberOfName(std::string_view name) {
  size_t dot = name.find('.');
  if (dot == 0 || dot == std::string_view::npos || dot > 9) return 0;
  if (!EqualNoCaseCp866(name.substr(dot), ".MSG")) return 0;
  int32_t number = 0;
  for (size_t i = 0; i < dot; ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    number = number * 10 + (name[i] - '0');
  }
  return number >= 1 && number <= kHighest ? number : 0;
}

void MsgNumbering::Fill(std::vector<std::string> names) {
  bits_.fill(0);
  names_.clear();
  count_ = 0;
  for (std::string& name : names) AddName(std::move(name));
}

void MsgNumbering::AddName(std::string name) {
  const int32_t number = NumberOfName(name);
  if (number == 0 || (Has(number) && name[0] == '0')) return;
  Add(number, std::move(name));
}

void MsgNumbering::Add(int32_t number, std::string name) {
  if (number < 1 || number > kHighest) return;
  if (names_.empty()) names_.resize(kHighest + 1);
  if (!Has(number)) ++count_;
  bits_[number / 64] |= uint64_t{1} << (number % 64);
  names_[number] = std::move(name);
}

void MsgNumbering::Remove(int32_t number) {
  if (!Has(number)) return;
  bits_[number / 64] &= ~(uint64_t{1} << (number % 64));
  names_[number].clear();
  --count_;
}

bool MsgNumbering::Has(int32_t number) const {
  return number >= 1 && number <= kHighest && (bits_[number / 64] >> (number % 64) & 1) != 0;
}

const std::string* MsgNumbering::NameOf(int32_t number) const {
  return Has(number) ? &names_[number] : nullptr;
}

int32_t MsgNumbering::NextAfter(int32_t number) const {
  if (number >= kHighest) return 0;
  int32_t from = std::max(number + 1, 1);
  size_t word = static_cast<size_t>(from) / 64;
  // The bits at and above `from` in its word, then whole words.
  uint64_t bits = bits_[word] & (~uint64_t{0} << (from % 64));
  while (bits == 0) {
    if (++word == kWords) return 0;
    bits = bits_[word];
  }
  return static_cast<int32_t>(word * 64) + std::countr_zero(bits);
}

int32_t MsgNumbering::PreviousBefore(int32_t number) const {
  if (number <= 1) return 0;
  int32_t below = std::min(number, kHighest + 1) - 1;
  size_t word = static_cast<size_t>(below) / 64;
  // The bits at and below `below` in its word, then whole words.
  uint64_t bits = bits_[word] & (~uint64_t{0} >> (63 - below % 64));
  while (bits == 0) {
    if (word == 0) return 0;
    bits = bits_[--word];
  }
  return static_cast<int32_t>(word * 64) + 63 - std::countl_zero(bits);
}

}  // namespace vm
